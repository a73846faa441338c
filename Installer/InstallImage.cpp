#include "InstallImage.h"

#include "LibAlert.h"
#include "LibColors.h"
#include "LibRect.h"

#include <Bitmap.h>
#include <Entry.h>
#include <Font.h>
#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>
#include <TranslationUtils.h>
#include <Window.h>

#include <cmath>

namespace {

const float kWidth = 150;
const float kHeight = 200;

struct TextStyle {
	float size;
	rgb_color color;
	// The baseline's distance from the panel's left edge.
	float x;
};

const TextStyle kStyles[InstallImage::TEXT_COUNT] = {
	{ 18, blue_color, 20 },
	{ 14, black_color, 50 },
	{ 14, black_color, 70 },
	{ 14, black_color, 90 },
	{ 14, black_color, 110 },
};

const char* const kSizeWarning = "Image is not the correct size of %dx%d. You may use this "
								 "image, but it will appear in the installer as shown here.";
const char* const kNotAPicture = "Image file not current supported";

} // namespace

InstallImage::InstallImage(BPoint where, bool editable) :
	BBox(LibRect(where.x, where.y, kWidth, kHeight), "InstallImage", B_FOLLOW_LEFT | B_FOLLOW_TOP,
		B_WILL_DRAW | B_FRAME_EVENTS, B_FANCY_BORDER),
	fEditable(editable),
	fShowImage(true),
	fPositions {}
{
	BFont font;
	GetFont(&font);
	font.SetRotation(90);
	SetFont(&font, B_FONT_ROTATION);
}

InstallImage::~InstallImage() { }

void
InstallImage::_SetText(Text which, const char* text)
{
	fTexts[which] = text != NULL ? text : "";
	BFont font;
	GetFont(&font);
	font.SetSize(kStyles[which].size);
	// Centred along the panel's height: the text runs upwards from this point.
	const float width = font.StringWidth(fTexts[which]);
	fPositions[which] = (Frame().Height() - width) * 0.5f + width;
	Invalidate();
}

void
InstallImage::SetAppName(const char* text)
{
	_SetText(APP_NAME, text);
}

void
InstallImage::SetVersion(const char* text)
{
	_SetText(VERSION, text);
}

void
InstallImage::SetDate(const char* text)
{
	_SetText(DATE, text);
}

void
InstallImage::SetCompany(const char* text)
{
	_SetText(COMPANY, text);
}

void
InstallImage::SetEmail(const char* text)
{
	_SetText(EMAIL, text);
}

void
InstallImage::SetImage(BMessage& archive)
{
	fImage.reset();
	if (!archive.IsEmpty()) {
		auto image = std::make_unique<BBitmap>(&archive);
		if (image->InitCheck() == B_OK)
			fImage = std::move(image);
	}
	Invalidate();
}

void
InstallImage::GetImage(BMessage& archive)
{
	if (fImage != nullptr)
		fImage->Archive(&archive, true);
}

void
InstallImage::ClearImage()
{
	fImage.reset();
	Invalidate();
}

void
InstallImage::ProcessImage(const entry_ref& ref)
{
	fImage.reset();
	fImage.reset(BTranslationUtils::GetBitmap(&ref));
	if (fImage != nullptr) {
		const BRect bounds = fImage->Bounds();
		if (ceilf(bounds.right - bounds.left) != kWidth - 1
			|| ceilf(bounds.bottom - bounds.top) != kHeight - 1) {
			LibWarning(kSizeWarning, (int)kWidth, (int)kHeight);
		}
		fShowImage = true;
	} else
		LibError("%s", kNotAPicture);

	if (Window() != NULL)
		Window()->PostMessage(kImageChanged);
	Invalidate();
}

void
InstallImage::Draw(BRect updateRect)
{
	if (fShowImage && fImage != nullptr)
		DrawBitmap(fImage.get(), BPoint(0, 0));
	else {
		PushState();
		SetDrawingMode(B_OP_OVER);
		BFont font;
		GetFont(&font);
		for (int32 i = 0; i < TEXT_COUNT; i++) {
			if (fTexts[i].Length() == 0)
				continue;
			font.SetSize(kStyles[i].size);
			SetFont(&font, B_FONT_SIZE);
			SetHighColor(kStyles[i].color);
			DrawString(fTexts[i], BPoint(kStyles[i].x, fPositions[i]));
		}
		PopState();
	}
	BBox::Draw(updateRect);
}

void
InstallImage::MouseDown(BPoint where)
{
	int32 buttons = 0;
	if (Window() != NULL && Window()->CurrentMessage() != NULL)
		Window()->CurrentMessage()->FindInt32("buttons", &buttons);

	if (fEditable && buttons == B_TERTIARY_MOUSE_BUTTON) {
		BPopUpMenu menu("img_menu", false, false);
		BMenuItem* remove = new BMenuItem("Remove", NULL);
		menu.AddItem(remove);
		if (menu.Go(ConvertToScreen(where), false, true) == remove) {
			fImage.reset();
			fShowImage = false;
		}
	} else
		fShowImage = !fShowImage;
	Invalidate();
}

void
InstallImage::MessageReceived(BMessage* message)
{
	entry_ref ref;
	if (message->WasDropped() && message->FindRef("refs", 0, &ref) == B_OK)
		ProcessImage(ref);
	BBox::MessageReceived(message);
}
