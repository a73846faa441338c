// A bold label and a colon left of a divider: the left half of a labelled control.
#ifndef LIB_LABEL_CONTROL_H
#define LIB_LABEL_CONTROL_H

#include <View.h>

class BStringView;

class LibLabelControl : public BView {
public:
	// The label view "label" spans x 0 to divider − 12 with a colon (divider − 2 without) and
	// y 0 to the frame's height − bottomInset; the colon view "colon" spans divider − 11 to
	// divider − 2. Both in the bold font at size 12. Either may be NULL (no view).
	LibLabelControl(BRect frame, const float& divider, const char* name, const char* label,
		const float& bottomInset, const char* colon, uint32 resizingMode);
	virtual ~LibLabelControl();

	// Label and colon in the palette's black when enabled, its dark grey when not.
	virtual void SetEnabled(bool enabled);

	// The label text, or "".
	const char* LabelText() const;

protected:
	BStringView* fLabel;
	BStringView* fColon;
};

#endif // LIB_LABEL_CONTROL_H
