#include "LibLabelControl.h"

#include "LibBitmap.h"

#include <Font.h>
#include <InterfaceDefs.h>
#include <StringView.h>

namespace {

BStringView*
make_label_view(BRect frame, const char* name, const char* text)
{
	BStringView* view = new BStringView(frame, name, text);
	BFont font(be_bold_font);
	font.SetSize(12);
	view->SetFont(&font);
	view->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	view->SetLowColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	view->SetHighColor(lib_nearest_system_color(0, 0, 0));
	return view;
}

} // namespace

LibLabelControl::LibLabelControl(BRect frame, const float& divider, const char* name,
	const char* label, const float& bottomInset, const char* colon, uint32 resizingMode) :
	BView(frame, name, resizingMode, B_WILL_DRAW),
	fLabel(NULL),
	fColon(NULL)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	const float bottom = frame.Height() - bottomInset;
	if (label != NULL) {
		const float right = colon != NULL ? divider - 12 : divider - 2;
		fLabel = make_label_view(BRect(0, 0, right, bottom), "label", label);
		AddChild(fLabel);
	}
	if (colon != NULL) {
		fColon = make_label_view(BRect(divider - 11, 0, divider - 2, bottom), "colon", colon);
		AddChild(fColon);
	}
}

LibLabelControl::~LibLabelControl() { }

void
LibLabelControl::SetEnabled(bool enabled)
{
	const rgb_color color =
		enabled ? lib_nearest_system_color(0, 0, 0) : lib_nearest_system_color(128, 128, 128);
	BStringView* views[] = { fLabel, fColon };
	for (BStringView* view : views) {
		if (view == NULL)
			continue;
		view->SetHighColor(color);
		view->Invalidate();
	}
}

const char*
LibLabelControl::LabelText() const
{
	return fLabel != NULL ? fLabel->Text() : "";
}
