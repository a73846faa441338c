// BStatusBar: a progress bar with a line of text above it. The line holds, from the left,
// the label and the text, and, at the right, the trailing text and the trailing label.
// The view also takes B_UPDATE_STATUS_BAR ("delta", "text", "trailing_text") and
// B_RESET_STATUS_BAR ("label", "trailing_label") messages, so other threads can post to it.
#ifndef _STATUS_BAR_H
#define _STATUS_BAR_H

#include <View.h>

#include <string>

class BStatusBar : public BView {
public:
	BStatusBar(
		BRect frame, const char* name, const char* label = NULL, const char* trailingLabel = NULL);
	virtual ~BStatusBar();

	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);
	virtual void MessageReceived(BMessage* message);
	virtual void GetPreferredSize(float* width, float* height);

	// Back to zero of 100 with the texts cleared and the labels replaced.
	virtual void Reset(const char* label = NULL, const char* trailingLabel = NULL);
	// Adds delta to the value (kept within 0 and the maximum) and replaces both texts
	// (NULL clears one).
	virtual void Update(float delta, const char* text = NULL, const char* trailingText = NULL);
	virtual void SetTo(float value, const char* text = NULL, const char* trailingText = NULL);

	virtual void SetText(const char* text);
	virtual void SetTrailingText(const char* text);
	const char* Text() const;
	const char* TrailingText() const;
	const char* Label() const;
	const char* TrailingLabel() const;

	virtual void SetMaxValue(float max);
	float MaxValue() const;
	float CurrentValue() const;

	virtual void SetBarColor(rgb_color color);
	rgb_color BarColor() const;
	virtual void SetBarHeight(float height);
	float BarHeight() const;

private:
	float _TextHeight() const;
	BRect _BarFrame() const;

	std::string fLabel;
	std::string fTrailingLabel;
	std::string fText;
	std::string fTrailingText;
	float fMax;
	float fCurrent;
	float fBarHeight;
	rgb_color fBarColor;
};

#endif // _STATUS_BAR_H
