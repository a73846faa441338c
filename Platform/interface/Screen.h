// BScreen: the screen a window is on: its frame, colour space and the system colour map.
#ifndef _SCREEN_H
#define _SCREEN_H

#include <GraphicsDefs.h>
#include <Rect.h>

class BWindow;
struct color_map;

struct screen_id {
	int32 id;
};

extern const screen_id B_MAIN_SCREEN_ID;

class BScreen {
public:
	BScreen(screen_id id = B_MAIN_SCREEN_ID);
	BScreen(BWindow* window);
	~BScreen();

	BScreen(const BScreen&) = delete;
	BScreen& operator=(const BScreen&) = delete;

	// False when there is no screen (no interface backend running).
	bool IsValid();
	status_t SetToNext();

	screen_id ID();
	// The screen in screen coordinates, from (0, 0); inclusive edges.
	BRect Frame();
	// Linux desktops draw in 32 bits: always B_RGB32.
	color_space ColorSpace();
	status_t WaitForRetrace();
	status_t WaitForRetrace(bigtime_t timeout);

	// The system colour map of the 8-bit colour space and the lookups into it. A colour
	// is looked up by its five high bits of red, green and blue, as BeOS did;
	// B_TRANSPARENT_32_BIT gives B_TRANSPARENT_MAGIC_CMAP8.
	const color_map* ColorMap();
	uint8 IndexForColor(rgb_color color);
	uint8 IndexForColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);
	rgb_color ColorForIndex(uint8 index);
	uint8 InvertIndex(uint8 index);

	rgb_color DesktopColor();

private:
	int32 fID;
};

#endif // _SCREEN_H
