// Qt input in BeOS terms: modifier bits, raw key codes, the bytes a key produces and mouse
// buttons. The Control key plays BeOS's Command key (Ctrl+W closes a window, as Linux
// desktops expect), Alt is Option and the Super key is Control.
#ifndef _INPUT_MAPPING_H
#define _INPUT_MAPPING_H

#include <InterfaceDefs.h>

#include <QKeyEvent>
#include <QString>

#include <string>

namespace BPrivate {

uint32 be_modifiers(Qt::KeyboardModifiers modifiers);

// The modifiers of the latest input event any window received; modifiers() answers from
// it, since the keyboard may be asked only on the GUI thread.
void note_modifiers(uint32 modifiers);
uint32 noted_modifiers();

uint32 be_buttons(Qt::MouseButtons buttons);

// What a key-down message carries for a key press: the BeOS raw key code (the PC
// keyboard's, F1 is 2) and the UTF-8 bytes. Empty bytes: the key produces nothing (a
// modifier key alone).
struct KeyStroke {
	int32 key;
	std::string bytes;
	int32 rawChar;
};

KeyStroke be_key_stroke(int qtKey, Qt::KeyboardModifiers modifiers, const QString& text);

} // namespace BPrivate

#endif // _INPUT_MAPPING_H
