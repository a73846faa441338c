// BAlert: a small modal window with an icon, a text and one to three buttons. Go() shows
// it and returns the index of the button pressed (0 for the first); called on the GUI
// thread it runs the event loop meanwhile, so every other window keeps working; called on
// another thread it has the GUI thread show the alert and waits for the answer. An alert
// made on another thread is laid out on the GUI thread as well (the fonts live there)
// while the constructor waits. Go() with an invoker returns at once and sends the
// invoker's message, with the index in "which", when the alert is answered. Either way
// the alert deletes itself.
#ifndef _ALERT_H
#define _ALERT_H

#include <Window.h>

#include <memory>

class BButton;
class BInvoker;
class BTextView;

enum alert_type { B_EMPTY_ALERT = 0, B_INFO_ALERT, B_IDEA_ALERT, B_WARNING_ALERT, B_STOP_ALERT };

enum button_spacing { B_EVEN_SPACING = 0, B_OFFSET_SPACING };

namespace BPrivate {
class AlertData;
} // namespace BPrivate

class BAlert : public BWindow {
public:
	BAlert(const char* title, const char* text, const char* button1, const char* button2 = NULL,
		const char* button3 = NULL, button_width width = B_WIDTH_AS_USUAL,
		alert_type type = B_INFO_ALERT);
	BAlert(const char* title, const char* text, const char* button1, const char* button2,
		const char* button3, button_width width, button_spacing spacing,
		alert_type type = B_INFO_ALERT);
	virtual ~BAlert();

	// Pressing the key (without Command) presses the button; letters match in either
	// case. B_ESCAPE is a common choice for the cancelling button.
	void SetShortcut(int32 index, char key);
	char Shortcut(int32 index) const;

	int32 Go();
	// Takes nothing over: the invoker must outlive the alert's answer.
	status_t Go(BInvoker* invoker);

	virtual void MessageReceived(BMessage* message);
	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual void FrameResized(float width, float height);

	BButton* ButtonAt(int32 index) const;
	int32 CountButtons() const;
	BTextView* TextView() const;
	alert_type Type() const;

	// Where an alert of that size goes: centred, in the upper third of the screen.
	static BPoint AlertPosition(float width, float height);

private:
	friend class BPrivate::AlertData;

	void _Build(const char* text, const char* button1, const char* button2, const char* button3,
		button_width width, button_spacing spacing, alert_type type);
	void _Init(const char* text, const char* button1, const char* button2, const char* button3,
		button_width width, button_spacing spacing, alert_type type);
	void _Answer(int32 index);

	std::unique_ptr<BPrivate::AlertData> fAlertData;
};

#endif // _ALERT_H
