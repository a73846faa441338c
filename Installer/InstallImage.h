// The about panel at the left of the installer's and the deinstaller's windows: a 150 × 200
// framed box showing the package's picture or, in text running upwards, the product's name,
// version, release date, company and support address. A click flips between the two. In the
// editable form a tertiary-button click offers "Remove"; in both forms a picture file dropped
// on the panel replaces the picture.
#ifndef INSTALL_IMAGE_H
#define INSTALL_IMAGE_H

#include "LibString.h"

#include <Box.h>

#include <memory>

class BBitmap;
struct entry_ref;

// Posted to the window when a dropped file changed the picture.
const uint32 kImageChanged = 'bria';

class InstallImage : public BBox {
public:
	// The five texts, in the order the panel draws them from the left.
	enum Text { APP_NAME = 0, VERSION, DATE, COMPANY, EMAIL, TEXT_COUNT };

	// A 150 × 200 panel (LibRect) at where, named "InstallImage", with a fancy border and the
	// view font turned 90 degrees.
	InstallImage(BPoint where, bool editable);
	virtual ~InstallImage();

	// A drop: the first file of "refs" goes to ProcessImage().
	virtual void MessageReceived(BMessage* message);
	// The picture when it is shown and there is one, otherwise the texts; then the frame.
	virtual void Draw(BRect updateRect);
	// Flips between picture and texts; the editable form's tertiary button opens "Remove".
	virtual void MouseDown(BPoint where);

	// Each stores its text and centres it along the panel's height at its font size.
	void SetAppName(const char* text);
	void SetVersion(const char* text);
	void SetDate(const char* text);
	void SetCompany(const char* text);
	void SetEmail(const char* text);

	// Drops the picture; an archive that is not empty becomes the new one.
	void SetImage(BMessage& archive);
	// Archives the picture, deeply, into archive; without one archive is left as it is.
	void GetImage(BMessage& archive);
	void ClearImage();
	// Loads a picture file in place of the picture: a picture of another size than 150 × 200
	// is kept after a warning; a file that is not a picture leaves the panel without one after
	// an error. Either way the window hears kImageChanged.
	void ProcessImage(const entry_ref& ref);

	bool IsEditable() const { return fEditable; }

	bool ShowsImage() const { return fShowImage; }

	const BBitmap* Image() const { return fImage.get(); }

	const char* TextAt(Text which) const { return fTexts[which]; }

	// Where the text's baseline starts, from the panel's top: it runs upwards from there.
	float TextPosition(Text which) const { return fPositions[which]; }

private:
	void _SetText(Text which, const char* text);

	bool fEditable;
	bool fShowImage;
	std::unique_ptr<BBitmap> fImage;
	LibString fTexts[TEXT_COUNT];
	float fPositions[TEXT_COUNT];
};

#endif // INSTALL_IMAGE_H
