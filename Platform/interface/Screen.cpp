// BScreen over the Qt screen list. Only the main screen is offered: the programs place
// their windows on it, as they did on single-screen BeOS.
#include <Screen.h>

#include <Palette.h>

#include <QGuiApplication>
#include <QScreen>

const screen_id B_MAIN_SCREEN_ID = { 0 };

BScreen::BScreen(screen_id id) :
	fID(id.id)
{
}

BScreen::BScreen(BWindow*) :
	fID(B_MAIN_SCREEN_ID.id)
{
}

BScreen::~BScreen() { }

bool
BScreen::IsValid()
{
	return fID == B_MAIN_SCREEN_ID.id && QGuiApplication::instance() != nullptr
		&& QGuiApplication::primaryScreen() != nullptr;
}

status_t
BScreen::SetToNext()
{
	return B_ERROR;
}

screen_id
BScreen::ID()
{
	screen_id id = { fID };
	return id;
}

BRect
BScreen::Frame()
{
	if (!IsValid())
		return BRect(0, 0, 0, 0);
	QRect geometry = QGuiApplication::primaryScreen()->geometry();
	return BRect(0, 0, geometry.width() - 1, geometry.height() - 1);
}

color_space
BScreen::ColorSpace()
{
	return IsValid() ? B_RGB32 : B_NO_COLOR_SPACE;
}

status_t
BScreen::WaitForRetrace()
{
	return B_OK;
}

status_t
BScreen::WaitForRetrace(bigtime_t)
{
	return B_OK;
}

const color_map*
BScreen::ColorMap()
{
	return system_colors();
}

uint8
BScreen::IndexForColor(rgb_color color)
{
	return IndexForColor(color.red, color.green, color.blue, color.alpha);
}

uint8
BScreen::IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
	rgb_color color = make_color(red, green, blue, alpha);
	if (red == B_TRANSPARENT_32_BIT.red && green == B_TRANSPARENT_32_BIT.green
		&& blue == B_TRANSPARENT_32_BIT.blue)
		return B_TRANSPARENT_MAGIC_CMAP8;
	return system_colors()->index_map[index_map_key(color)];
}

rgb_color
BScreen::ColorForIndex(uint8 index)
{
	return system_colors()->color_list[index];
}

uint8
BScreen::InvertIndex(uint8 index)
{
	return system_colors()->inversion_map[index];
}

rgb_color
BScreen::DesktopColor()
{
	return make_color(51, 102, 152);
}
