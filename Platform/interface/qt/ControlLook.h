// How the controls look: Qt's style draws buttons and check boxes, so that the programs
// look at home on the desktop, inside BeOS frames and with BeOS behaviour.
#ifndef _CONTROL_LOOK_H
#define _CONTROL_LOOK_H

#include <Rect.h>

class BView;

namespace BPrivate {

struct ButtonLook {
	const char* label;
	bool pressed;
	bool isDefault;
	bool enabled;
	bool focused;
	bool checked;
};

void draw_push_button(BView* view, BRect frame, const ButtonLook& look);
void draw_check_box(BView* view, BRect frame, const ButtonLook& look);

// The width and height a check box's mark takes, and the gap before its label.
float check_box_mark_width();

// The icons of the four alert types (info, idea, warning, stop), 32 by 32.
void draw_alert_icon(BView* view, BRect frame, int32 type);

} // namespace BPrivate

#endif // _CONTROL_LOOK_H
