// BControl: a view the user acts on, with a label, a value and an enabled state, that
// sends its message to its target when invoked. The target is the window unless set.
#ifndef _CONTROL_H
#define _CONTROL_H

#include <Invoker.h>
#include <Message.h>
#include <View.h>

#include <string>

enum { B_CONTROL_OFF = 0, B_CONTROL_ON = 1 };

class BControl : public BView, public BInvoker {
public:
	// Takes ownership of the message.
	BControl(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode, uint32 flags);
	virtual ~BControl();

	virtual void AttachedToWindow();
	virtual void MakeFocus(bool focus = true);
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void WindowActivated(bool active);

	virtual void SetLabel(const char* label);
	const char* Label() const;

	virtual void SetValue(int32 value);
	int32 Value() const;

	virtual void SetEnabled(bool enabled);
	bool IsEnabled() const;

	virtual void GetPreferredSize(float* width, float* height);

	// Sends a copy of the message with "when" (int64), "source" (pointer: this control)
	// and "be:value" (int32) added.
	virtual status_t Invoke(BMessage* message = NULL);

protected:
	bool IsTracking() const;
	void SetTracking(bool tracking);
	void SetValueNoUpdate(int32 value);

private:
	std::string fLabel;
	int32 fValue;
	bool fEnabled;
	bool fTracking;
};

#endif // _CONTROL_H
