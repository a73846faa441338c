// Translation tables from Qt keys to the raw key codes of the BeOS PC keymap.
#include "InputMapping.h"

#include <atomic>
#include <cctype>

namespace BPrivate {

namespace {

struct KeyRow {
	int qtKey;
	int32 rawKey;
	char byte;
};

// Keys whose bytes do not depend on the keymap.
const KeyRow kSpecialKeys[] = {
	{ Qt::Key_Escape, 0x01, B_ESCAPE },
	{ Qt::Key_F1, 0x02, B_FUNCTION_KEY },
	{ Qt::Key_F2, 0x03, B_FUNCTION_KEY },
	{ Qt::Key_F3, 0x04, B_FUNCTION_KEY },
	{ Qt::Key_F4, 0x05, B_FUNCTION_KEY },
	{ Qt::Key_F5, 0x06, B_FUNCTION_KEY },
	{ Qt::Key_F6, 0x07, B_FUNCTION_KEY },
	{ Qt::Key_F7, 0x08, B_FUNCTION_KEY },
	{ Qt::Key_F8, 0x09, B_FUNCTION_KEY },
	{ Qt::Key_F9, 0x0a, B_FUNCTION_KEY },
	{ Qt::Key_F10, 0x0b, B_FUNCTION_KEY },
	{ Qt::Key_F11, 0x0c, B_FUNCTION_KEY },
	{ Qt::Key_F12, 0x0d, B_FUNCTION_KEY },
	{ Qt::Key_Print, 0x0e, B_FUNCTION_KEY },
	{ Qt::Key_ScrollLock, 0x0f, B_FUNCTION_KEY },
	{ Qt::Key_Pause, 0x10, B_FUNCTION_KEY },
	{ Qt::Key_Backspace, 0x1e, B_BACKSPACE },
	{ Qt::Key_Insert, 0x1f, B_INSERT },
	{ Qt::Key_Home, 0x20, B_HOME },
	{ Qt::Key_PageUp, 0x21, B_PAGE_UP },
	{ Qt::Key_Tab, 0x26, B_TAB },
	{ Qt::Key_Backtab, 0x26, B_TAB },
	{ Qt::Key_Delete, 0x34, B_DELETE },
	{ Qt::Key_End, 0x35, B_END },
	{ Qt::Key_PageDown, 0x36, B_PAGE_DOWN },
	{ Qt::Key_Return, 0x47, B_ENTER },
	{ Qt::Key_Enter, 0x5b, B_ENTER },
	{ Qt::Key_Up, 0x57, B_UP_ARROW },
	{ Qt::Key_Space, 0x5e, B_SPACE },
	{ Qt::Key_Left, 0x61, B_LEFT_ARROW },
	{ Qt::Key_Down, 0x62, B_DOWN_ARROW },
	{ Qt::Key_Right, 0x63, B_RIGHT_ARROW },
};

// The printable keys by their place on the keyboard.
const KeyRow kPrintableKeys[] = {
	{ Qt::Key_QuoteLeft, 0x11, '`' },
	{ Qt::Key_1, 0x12, '1' },
	{ Qt::Key_2, 0x13, '2' },
	{ Qt::Key_3, 0x14, '3' },
	{ Qt::Key_4, 0x15, '4' },
	{ Qt::Key_5, 0x16, '5' },
	{ Qt::Key_6, 0x17, '6' },
	{ Qt::Key_7, 0x18, '7' },
	{ Qt::Key_8, 0x19, '8' },
	{ Qt::Key_9, 0x1a, '9' },
	{ Qt::Key_0, 0x1b, '0' },
	{ Qt::Key_Minus, 0x1c, '-' },
	{ Qt::Key_Equal, 0x1d, '=' },
	{ Qt::Key_Q, 0x27, 'q' },
	{ Qt::Key_W, 0x28, 'w' },
	{ Qt::Key_E, 0x29, 'e' },
	{ Qt::Key_R, 0x2a, 'r' },
	{ Qt::Key_T, 0x2b, 't' },
	{ Qt::Key_Y, 0x2c, 'y' },
	{ Qt::Key_U, 0x2d, 'u' },
	{ Qt::Key_I, 0x2e, 'i' },
	{ Qt::Key_O, 0x2f, 'o' },
	{ Qt::Key_P, 0x30, 'p' },
	{ Qt::Key_BracketLeft, 0x31, '[' },
	{ Qt::Key_BracketRight, 0x32, ']' },
	{ Qt::Key_Backslash, 0x33, '\\' },
	{ Qt::Key_A, 0x3c, 'a' },
	{ Qt::Key_S, 0x3d, 's' },
	{ Qt::Key_D, 0x3e, 'd' },
	{ Qt::Key_F, 0x3f, 'f' },
	{ Qt::Key_G, 0x40, 'g' },
	{ Qt::Key_H, 0x41, 'h' },
	{ Qt::Key_J, 0x42, 'j' },
	{ Qt::Key_K, 0x43, 'k' },
	{ Qt::Key_L, 0x44, 'l' },
	{ Qt::Key_Semicolon, 0x45, ';' },
	{ Qt::Key_Apostrophe, 0x46, '\'' },
	{ Qt::Key_Z, 0x4c, 'z' },
	{ Qt::Key_X, 0x4d, 'x' },
	{ Qt::Key_C, 0x4e, 'c' },
	{ Qt::Key_V, 0x4f, 'v' },
	{ Qt::Key_B, 0x50, 'b' },
	{ Qt::Key_N, 0x51, 'n' },
	{ Qt::Key_M, 0x52, 'm' },
	{ Qt::Key_Comma, 0x53, ',' },
	{ Qt::Key_Period, 0x54, '.' },
	{ Qt::Key_Slash, 0x55, '/' },
};

std::atomic<uint32> sModifiers(0);

} // namespace

void
note_modifiers(uint32 modifiers)
{
	sModifiers.store(modifiers);
}

uint32
noted_modifiers()
{
	return sModifiers.load();
}

uint32
be_modifiers(Qt::KeyboardModifiers modifiers)
{
	uint32 result = 0;
	if ((modifiers & Qt::ShiftModifier) != 0)
		result |= B_SHIFT_KEY | B_LEFT_SHIFT_KEY;
	if ((modifiers & Qt::ControlModifier) != 0)
		result |= B_COMMAND_KEY | B_LEFT_COMMAND_KEY;
	if ((modifiers & Qt::AltModifier) != 0)
		result |= B_OPTION_KEY | B_LEFT_OPTION_KEY;
	if ((modifiers & Qt::MetaModifier) != 0)
		result |= B_CONTROL_KEY | B_LEFT_CONTROL_KEY;
	return result;
}

uint32
be_buttons(Qt::MouseButtons buttons)
{
	uint32 result = 0;
	if ((buttons & Qt::LeftButton) != 0)
		result |= B_PRIMARY_MOUSE_BUTTON;
	if ((buttons & Qt::RightButton) != 0)
		result |= B_SECONDARY_MOUSE_BUTTON;
	if ((buttons & Qt::MiddleButton) != 0)
		result |= B_TERTIARY_MOUSE_BUTTON;
	return result;
}

KeyStroke
be_key_stroke(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text)
{
	KeyStroke stroke = { 0, std::string(), 0 };
	for (const KeyRow& row : kSpecialKeys) {
		if (row.qtKey == qtKey) {
			stroke.key = row.rawKey;
			stroke.bytes = std::string(1, row.byte);
			stroke.rawChar = (uchar)row.byte;
			return stroke;
		}
	}
	for (const KeyRow& row : kPrintableKeys) {
		if (row.qtKey == qtKey) {
			stroke.key = row.rawKey;
			stroke.rawChar = (uchar)row.byte;
			break;
		}
	}

	// With Command (Ctrl) held Qt reports control characters; BeOS reports the key's
	// own character, which is what shortcuts compare against.
	bool command = (modifiers & Qt::ControlModifier) != 0;
	if (!command && !text.isEmpty() && text.at(0).isPrint()) {
		stroke.bytes = text.toStdString();
		if (stroke.rawChar == 0)
			stroke.rawChar = (int32)text.at(0).unicode();
		return stroke;
	}
	if (stroke.rawChar != 0) {
		char byte = (char)stroke.rawChar;
		if ((modifiers & Qt::ShiftModifier) != 0 && isalpha((uchar)byte))
			byte = (char)toupper((uchar)byte);
		stroke.bytes = std::string(1, byte);
	}
	return stroke;
}

} // namespace BPrivate
