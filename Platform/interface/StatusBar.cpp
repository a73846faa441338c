#include <StatusBar.h>

#include <AppDefs.h>
#include <Message.h>

#include <algorithm>
#include <cmath>

namespace {

std::string
text_or_empty(const char* text)
{
	return text != NULL ? text : "";
}

} // namespace

BStatusBar::BStatusBar(
	BRect frame, const char* name, const char* label, const char* trailingLabel) :
	BView(frame, name, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_FRAME_EVENTS),
	fLabel(text_or_empty(label)),
	fTrailingLabel(text_or_empty(trailingLabel)),
	fMax(100),
	fCurrent(0),
	fBarHeight(16),
	fBarColor(make_color(50, 150, 255))
{
	SetFont(be_plain_font);
}

BStatusBar::~BStatusBar() { }

void
BStatusBar::AttachedToWindow()
{
	BView::AttachedToWindow();
	rgb_color color = Parent() != NULL ? Parent()->ViewColor() : ui_color(B_PANEL_BACKGROUND_COLOR);
	if (color == B_TRANSPARENT_COLOR)
		color = ui_color(B_PANEL_BACKGROUND_COLOR);
	SetViewColor(color);
	SetLowColor(color);
	// BeOS behaviour: the bar is exactly as tall as its text line and bar need.
	float width, height;
	GetPreferredSize(&width, &height);
	ResizeTo(Bounds().Width(), height);
}

void
BStatusBar::GetPreferredSize(float* width, float* height)
{
	if (width != NULL) {
		*width = std::max(Bounds().Width(),
			StringWidth((fLabel + fText).c_str())
				+ StringWidth((fTrailingText + fTrailingLabel).c_str()) + 8);
	}
	if (height != NULL)
		*height = _TextHeight() + 3 + fBarHeight - 1;
}

float
BStatusBar::_TextHeight() const
{
	font_height height;
	GetFontHeight(&height);
	return ceilf(height.ascent + height.descent);
}

BRect
BStatusBar::_BarFrame() const
{
	BRect bounds = Bounds();
	return BRect(bounds.left, bounds.top + _TextHeight() + 3, bounds.right,
		bounds.top + _TextHeight() + 3 + fBarHeight - 1);
}

void
BStatusBar::Draw(BRect)
{
	BRect bounds = Bounds();
	SetLowColor(ViewColor());
	SetHighColor(ViewColor());
	FillRect(bounds);

	font_height height;
	GetFontHeight(&height);
	float baseline = bounds.top + ceilf(height.ascent);
	SetHighColor(ui_color(B_PANEL_TEXT_COLOR));
	MovePenTo(bounds.left, baseline);
	// BeOS behaviour: label and text, trailing text and trailing label are joined as they
	// are; a program that wants a blank puts it into its label.
	DrawString(fLabel.c_str());
	DrawString(fText.c_str());
	std::string trailing = fTrailingText + fTrailingLabel;
	MovePenTo(bounds.right - StringWidth(trailing.c_str()), baseline);
	DrawString(trailing.c_str());

	BRect bar = _BarFrame();
	rgb_color panel = ui_color(B_PANEL_BACKGROUND_COLOR);
	SetHighColor(tint_color(panel, B_DARKEN_2_TINT));
	StrokeRect(bar);
	bar.InsetBy(1, 1);
	SetHighColor(tint_color(panel, B_LIGHTEN_1_TINT));
	FillRect(bar);
	if (fMax > 0 && fCurrent > 0) {
		BRect filled = bar;
		filled.right = bar.left + roundf((bar.Width() + 1) * std::min(1.0f, fCurrent / fMax)) - 1;
		if (filled.IsValid()) {
			SetHighColor(fBarColor);
			FillRect(filled);
		}
	}
}

void
BStatusBar::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case B_UPDATE_STATUS_BAR: {
			float delta = 0;
			message->FindFloat("delta", &delta);
			const char* text = NULL;
			const char* trailingText = NULL;
			message->FindString("text", &text);
			message->FindString("trailing_text", &trailingText);
			Update(delta, text, trailingText);
			break;
		}
		case B_RESET_STATUS_BAR: {
			const char* label = NULL;
			const char* trailingLabel = NULL;
			message->FindString("label", &label);
			message->FindString("trailing_label", &trailingLabel);
			Reset(label, trailingLabel);
			break;
		}
		default:
			BView::MessageReceived(message);
	}
}

void
BStatusBar::Reset(const char* label, const char* trailingLabel)
{
	fLabel = text_or_empty(label);
	fTrailingLabel = text_or_empty(trailingLabel);
	fText.clear();
	fTrailingText.clear();
	fCurrent = 0;
	fMax = 100;
	Invalidate();
}

void
BStatusBar::Update(float delta, const char* text, const char* trailingText)
{
	SetTo(fCurrent + delta, text, trailingText);
}

void
BStatusBar::SetTo(float value, const char* text, const char* trailingText)
{
	fCurrent = std::clamp(value, 0.0f, fMax);
	fText = text_or_empty(text);
	fTrailingText = text_or_empty(trailingText);
	Invalidate();
}

void
BStatusBar::SetText(const char* text)
{
	fText = text_or_empty(text);
	Invalidate();
}

void
BStatusBar::SetTrailingText(const char* text)
{
	fTrailingText = text_or_empty(text);
	Invalidate();
}

const char*
BStatusBar::Text() const
{
	return fText.c_str();
}

const char*
BStatusBar::TrailingText() const
{
	return fTrailingText.c_str();
}

const char*
BStatusBar::Label() const
{
	return fLabel.c_str();
}

const char*
BStatusBar::TrailingLabel() const
{
	return fTrailingLabel.c_str();
}

void
BStatusBar::SetMaxValue(float max)
{
	fMax = std::max(0.0f, max);
	fCurrent = std::min(fCurrent, fMax);
	Invalidate();
}

float
BStatusBar::MaxValue() const
{
	return fMax;
}

float
BStatusBar::CurrentValue() const
{
	return fCurrent;
}

void
BStatusBar::SetBarColor(rgb_color color)
{
	fBarColor = color;
	Invalidate();
}

rgb_color
BStatusBar::BarColor() const
{
	return fBarColor;
}

void
BStatusBar::SetBarHeight(float height)
{
	fBarHeight = std::max(3.0f, roundf(height));
	if (Window() != NULL) {
		float width, preferred;
		GetPreferredSize(&width, &preferred);
		ResizeTo(Bounds().Width(), preferred);
	}
	Invalidate();
}

float
BStatusBar::BarHeight() const
{
	return fBarHeight;
}
