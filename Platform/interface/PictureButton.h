// BPictureButton: a button drawn with pictures: off and on, each also in a disabled form.
// A one-state button is on only while pressed; a two-state button toggles at each click.
#ifndef _PICTURE_BUTTON_H
#define _PICTURE_BUTTON_H

#include <Bitmap.h>
#include <Control.h>
#include <Picture.h>

#include <memory>

enum { B_ONE_STATE_BUTTON, B_TWO_STATE_BUTTON };

class BPictureButton : public BControl {
public:
	// The button keeps copies of the pictures; off and on may be NULL (nothing drawn).
	BPictureButton(BRect frame, const char* name, BPicture* off, BPicture* on, BMessage* message,
		uint32 behavior = B_ONE_STATE_BUTTON, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BPictureButton();

	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void KeyDown(const char* bytes, int32 numBytes);

	virtual void SetEnabledOn(BPicture* picture);
	virtual void SetEnabledOff(BPicture* picture);
	virtual void SetDisabledOn(BPicture* picture);
	virtual void SetDisabledOff(BPicture* picture);
	BPicture* EnabledOn() const;
	BPicture* EnabledOff() const;
	BPicture* DisabledOn() const;
	BPicture* DisabledOff() const;

	virtual void SetBehavior(uint32 behavior);
	uint32 Behavior() const;

	// The picture drawn now: disabled pictures fall back to the enabled ones.
	BPicture* CurrentPicture() const;

private:
	void _Press();

	std::unique_ptr<BPicture> fEnabledOff;
	std::unique_ptr<BPicture> fEnabledOn;
	std::unique_ptr<BPicture> fDisabledOff;
	std::unique_ptr<BPicture> fDisabledOn;
	uint32 fBehavior;
	int32 fPressedFrom;
};

#endif // _PICTURE_BUTTON_H
