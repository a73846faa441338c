// The user-interface colours of BeOS and the modifier state from Qt.
#include <InterfaceDefs.h>

#include "qt/InputMapping.h"

rgb_color
ui_color(color_which which)
{
	switch (which) {
		case B_PANEL_BACKGROUND_COLOR:
		case B_MENU_BACKGROUND_COLOR:
		case B_CONTROL_BACKGROUND_COLOR:
			return make_color(216, 216, 216);
		case B_WINDOW_TAB_COLOR:
			return make_color(255, 203, 0);
		case B_KEYBOARD_NAVIGATION_COLOR:
			return make_color(0, 0, 229);
		case B_DESKTOP_COLOR:
			return make_color(51, 102, 152);
		case B_MENU_SELECTION_BACKGROUND_COLOR:
			return make_color(115, 120, 184);
		case B_MENU_SELECTED_ITEM_TEXT_COLOR:
		case B_DOCUMENT_BACKGROUND_COLOR:
		case B_SHINE_COLOR:
			return make_color(255, 255, 255);
		case B_MENU_SELECTED_BORDER_COLOR:
		case B_CONTROL_BORDER_COLOR:
			return make_color(96, 96, 96);
		case B_CONTROL_HIGHLIGHT_COLOR:
			return make_color(102, 152, 203);
		case B_SHADOW_COLOR:
			return make_color(0, 0, 0);
		case B_TOOLTIP_BACKGROUND_COLOR:
			return make_color(255, 255, 203);
		case B_MENU_ITEM_TEXT_COLOR:
		case B_PANEL_TEXT_COLOR:
		case B_DOCUMENT_TEXT_COLOR:
		case B_CONTROL_TEXT_COLOR:
		case B_TOOLTIP_TEXT_COLOR:
		default:
			return make_color(0, 0, 0);
	}
}

rgb_color
tint_color(rgb_color color, float tint)
{
	auto lighten = [tint](uint8 value) { return (uint8)(255.0f - (255.0f - value) * tint); };
	auto darken = [tint](uint8 value) { return (uint8)(value * (2.0f - tint)); };
	if (tint < 1.0f)
		return make_color(
			lighten(color.red), lighten(color.green), lighten(color.blue), color.alpha);
	return make_color(darken(color.red), darken(color.green), darken(color.blue), color.alpha);
}

rgb_color
keyboard_navigation_color()
{
	return ui_color(B_KEYBOARD_NAVIGATION_COLOR);
}

uint32
modifiers()
{
	return BPrivate::noted_modifiers();
}
