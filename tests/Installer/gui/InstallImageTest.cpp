// InstallImage: the about panel's frame and turned texts, picture or texts and the click that
// flips them, pictures dropped on it (the right size, another size, no picture), the
// editable form's "Remove", and screenshots of both forms in the installer's layout.
#include "InstallImage.h"

#include "BackgroundView.h"
#include "LibAlert.h"

#include <Application.h>
#include <Bitmap.h>
#include <Font.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "TempDir.h"
#include "qt/MenuTestHook.h"

#include <QDir>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace gui_test;

namespace {

const char kSizeWarning[] = "Image is not the correct size of 150x200. You may use this image, "
							"but it will appear in the installer as shown here.";

// The installer's window: the background and the panel at (10, 16).
class PanelWindow : public BWindow {
public:
	PanelWindow(bool editable) :
		BWindow(BRect(100, 100, 555, 357), "Demo Installer", B_TITLED_WINDOW, B_NOT_RESIZABLE)
	{
		BackgroundView* background = new BackgroundView(Bounds());
		AddChild(background);
		fPanel = new InstallImage(BPoint(10, 16), editable);
		background->AddChild(fPanel);
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kImageChanged) {
			fChanges++;
			return;
		}
		BWindow::MessageReceived(message);
	}

	InstallImage* fPanel;
	int32 fChanges = 0;
};

// A 150 × 200 picture of one colour, archived as packages carry it.
BMessage
picture_archive(rgb_color color, int32 width = 150, int32 height = 200)
{
	BBitmap bitmap(BRect(0, 0, width - 1, height - 1), B_RGB32);
	uint8* bits = static_cast<uint8*>(bitmap.Bits());
	for (int32 i = 0; i < bitmap.BitsLength(); i += 4) {
		bits[i] = color.blue;
		bits[i + 1] = color.green;
		bits[i + 2] = color.red;
		bits[i + 3] = 255;
	}
	BMessage archive;
	bitmap.Archive(&archive);
	return archive;
}

rgb_color
pixel(const QImage& image, BPoint where)
{
	QRgb value = image.pixel((int)where.x, (int)where.y);
	return make_color(qRed(value), qGreen(value), qBlue(value));
}

// Whether any pixel of the panel's area is bluish (the product name's colour).
bool
shows_blue_text(const QImage& image)
{
	for (int y = 16; y <= 216; y++) {
		for (int x = 10; x <= 60; x++) {
			rgb_color color = pixel(image, BPoint(x, y));
			if (color.blue > 150 && color.red < 120 && color.green < 120)
				return true;
		}
	}
	return false;
}

bool
drop_file(BWindow* window, BPoint where, const std::string& path)
{
	QWidget* widget = widget_of(window);
	QMimeData data;
	data.setUrls({ QUrl::fromLocalFile(QString::fromStdString(path)) });
	const QPointF local(where.x, where.y);
	QDragEnterEvent enter(local.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
	QCoreApplication::sendEvent(widget, &enter);
	if (!enter.isAccepted())
		return false;
	QDropEvent drop(local, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
	QCoreApplication::sendEvent(widget, &drop);
	return drop.isAccepted();
}

class InstallImageTest : public testing::Test {
protected:
	void SetUp() override
	{
		LibSetAlertPolicy([this](const LibAlertQuestion& question) {
			fAlerts.push_back(std::to_string(question.type) + ":" + question.text);
			return LibAlertAnswer {};
		});
	}

	void TearDown() override
	{
		LibSetAlertPolicy(nullptr);
		BPrivate::set_menu_chooser(nullptr);
		if (fWindow != nullptr) {
			fWindow->Lock();
			fWindow->Quit();
		}
	}

	InstallImage* Open(bool editable)
	{
		fWindow = new PanelWindow(editable);
		fWindow->Show();
		EXPECT_TRUE(wait_until([&] { return widget_of(fWindow) != nullptr; }));
		return fWindow->fPanel;
	}

	void SetTexts(InstallImage* panel)
	{
		panel->SetAppName("Demo Application");
		panel->SetVersion("1.2.0");
		panel->SetDate("Dec 7 2026");
		panel->SetCompany("Quillfield");
		panel->SetEmail("support@quillfield.example");
	}

	BApplication fApplication { "application/x-vnd.test-install-image" };
	PanelWindow* fWindow = nullptr;
	std::vector<std::string> fAlerts;
	ScopedTempDir fFolder;
};

} // namespace

TEST_F(InstallImageTest, ThePanelIsAFramedBoxWithTextsCentredAlongItsHeight)
{
	InstallImage* panel = Open(false);
	EXPECT_EQ(BRect(10, 16, 160, 216), panel->Frame());
	EXPECT_STREQ("InstallImage", panel->Name());
	EXPECT_EQ(B_FANCY_BORDER, panel->Border());
	EXPECT_FALSE(panel->IsEditable());
	EXPECT_TRUE(panel->ShowsImage());
	EXPECT_EQ(nullptr, panel->Image());
	BFont font;
	panel->GetFont(&font);
	EXPECT_EQ(90, font.Rotation());

	struct Row {
		InstallImage::Text which;
		void (InstallImage::*set)(const char*);
		const char* text;
		float size;
	};

	const Row rows[] = {
		{ InstallImage::APP_NAME, &InstallImage::SetAppName, "Demo", 18 },
		{ InstallImage::APP_NAME, &InstallImage::SetAppName, "A Much Longer Product Name", 18 },
		{ InstallImage::VERSION, &InstallImage::SetVersion, "1.2.0", 14 },
		{ InstallImage::DATE, &InstallImage::SetDate, "Dec 7 2026", 14 },
		{ InstallImage::COMPANY, &InstallImage::SetCompany, "Quillfield", 14 },
		{ InstallImage::EMAIL, &InstallImage::SetEmail, "support@quillfield.example", 14 },
		{ InstallImage::EMAIL, &InstallImage::SetEmail, "", 14 },
	};
	for (const Row& row : rows) {
		(panel->*row.set)(row.text);
		EXPECT_STREQ(row.text, panel->TextAt(row.which));
		BFont sized(font);
		sized.SetSize(row.size);
		const float width = sized.StringWidth(row.text);
		// Drawn upwards from its position, the text's middle is the panel's middle.
		EXPECT_FLOAT_EQ(100, panel->TextPosition(row.which) - width / 2) << row.text;
	}
}

TEST_F(InstallImageTest, APictureOrTheTextsAndAClickFlipsBetweenThem)
{
	InstallImage* panel = Open(false);
	SetTexts(panel);
	const BPoint middle(85, 116);
	BMessage red = picture_archive(make_color(255, 0, 0));
	panel->SetImage(red);
	ASSERT_NE(nullptr, panel->Image());

	QImage image = grab(fWindow);
	EXPECT_EQ(make_color(255, 0, 0), pixel(image, middle));
	EXPECT_FALSE(shows_blue_text(image));

	click(fWindow, middle);
	ASSERT_TRUE(wait_until([&] { return !panel->ShowsImage(); }));
	image = grab(fWindow);
	EXPECT_NE(make_color(255, 0, 0), pixel(image, middle));
	EXPECT_TRUE(shows_blue_text(image));
	click(fWindow, middle);
	ASSERT_TRUE(wait_until([&] { return panel->ShowsImage(); }));

	BMessage archive;
	panel->GetImage(archive);
	BBitmap copy(&archive);
	EXPECT_EQ(BRect(0, 0, 149, 199), copy.Bounds());

	// An empty picture message: the texts show from the start, whatever the clicks do.
	BMessage empty;
	panel->SetImage(empty);
	EXPECT_EQ(nullptr, panel->Image());
	BMessage untouched;
	untouched.AddInt32("kept", 1);
	panel->GetImage(untouched);
	EXPECT_EQ(1, untouched.GetInt32("kept", 0));
	EXPECT_FALSE(untouched.HasRect("_frame"));
	for (int32 i = 0; i < 2; i++) {
		EXPECT_TRUE(shows_blue_text(grab(fWindow)));
		click(fWindow, middle);
		run_for(30);
	}
	EXPECT_TRUE(fAlerts.empty());
}

TEST_F(InstallImageTest, DroppedFilesReplaceThePicture)
{
	const std::string right = fFolder.Child("about.png");
	const std::string wide = fFolder.Child("wide.png");
	const std::string text = fFolder.Child("readme.txt");
	QImage picture(150, 200, QImage::Format_RGB32);
	picture.fill(QColor(0, 160, 0));
	ASSERT_TRUE(picture.save(QString::fromStdString(right)));
	QImage widePicture(160, 200, QImage::Format_RGB32);
	widePicture.fill(QColor(0, 0, 160));
	ASSERT_TRUE(widePicture.save(QString::fromStdString(wide)));
	std::ofstream(text) << "not a picture";

	struct Row {
		std::string path;
		std::string alert;
		BRect bounds;
	};

	const Row rows[] = {
		{ right, "", BRect(0, 0, 149, 199) },
		{ wide, std::to_string(B_WARNING_ALERT) + ":" + kSizeWarning, BRect(0, 0, 159, 199) },
		{ text, std::to_string(B_STOP_ALERT) + ":Image file not current supported", BRect() },
	};
	for (bool editable : { false, true }) {
		InstallImage* panel = Open(editable);
		BMessage old = picture_archive(make_color(255, 0, 0));
		int32 changes = 0;
		for (const Row& row : rows) {
			fAlerts.clear();
			panel->SetImage(old);
			click(fWindow, BPoint(85, 116));
			ASSERT_TRUE(wait_until([&] { return !panel->ShowsImage(); }));
			ASSERT_TRUE(drop_file(fWindow, BPoint(85, 116), row.path));
			ASSERT_TRUE(wait_until([&] { return fWindow->fChanges == changes + 1; })) << row.path;
			changes++;
			if (row.alert.empty())
				EXPECT_TRUE(fAlerts.empty()) << row.path;
			else
				EXPECT_EQ(std::vector<std::string> { row.alert }, fAlerts) << row.path;
			if (!row.bounds.IsValid()) {
				EXPECT_EQ(nullptr, panel->Image()) << row.path;
				continue;
			}
			ASSERT_NE(nullptr, panel->Image()) << row.path;
			EXPECT_EQ(row.bounds, panel->Image()->Bounds()) << row.path;
			EXPECT_TRUE(panel->ShowsImage()) << row.path;
		}
		// The wide picture was shown cut at the panel's edge: the panel's frame is unchanged.
		EXPECT_EQ(BRect(10, 16, 160, 216), panel->Frame());
		fWindow->Lock();
		fWindow->Quit();
		fWindow = nullptr;
	}
}

TEST_F(InstallImageTest, TheEditableFormRemovesThePictureFromItsMenu)
{
	std::vector<std::string> menus;
	bool choose = true;
	BPrivate::set_menu_chooser([&](BMenu* menu) -> BMenuItem* {
		menus.push_back(menu->Name() != NULL ? menu->Name() : "");
		if (menu->CountItems() == 1)
			menus.push_back(menu->ItemAt(0)->Label());
		return choose ? menu->FindItem("Remove") : NULL;
	});
	BMessage red = picture_archive(make_color(255, 0, 0));

	InstallImage* panel = Open(true);
	panel->SetImage(red);
	// Dismissing the menu changes nothing.
	choose = false;
	click(fWindow, BPoint(85, 116), Qt::MiddleButton);
	ASSERT_TRUE(wait_until([&] { return menus.size() == 2; }));
	EXPECT_EQ((std::vector<std::string> { "img_menu", "Remove" }), menus);
	run_for(30);
	EXPECT_NE(nullptr, panel->Image());
	EXPECT_TRUE(panel->ShowsImage());

	choose = true;
	click(fWindow, BPoint(85, 116), Qt::MiddleButton);
	ASSERT_TRUE(wait_until([&] { return panel->Image() == nullptr; }));
	EXPECT_FALSE(panel->ShowsImage());
	fWindow->Lock();
	fWindow->Quit();

	// The installer's read-only form has no menu: the tertiary button flips like any other.
	menus.clear();
	panel = Open(false);
	panel->SetImage(red);
	click(fWindow, BPoint(85, 116), Qt::MiddleButton);
	ASSERT_TRUE(wait_until([&] { return !panel->ShowsImage(); }));
	EXPECT_TRUE(menus.empty());
	EXPECT_NE(nullptr, panel->Image());
}

TEST_F(InstallImageTest, ScreenshotsOfBothForms)
{
	InstallImage* panel = Open(false);
	SetTexts(panel);
	QImage picture(150, 200, QImage::Format_RGB32);
	for (int y = 0; y < 200; y++) {
		for (int x = 0; x < 150; x++)
			picture.setPixel(x, y, qRgb(40 + x, 90 + y / 2, 200 - y / 2));
	}
	const std::string path = fFolder.Child("about.png");
	ASSERT_TRUE(picture.save(QString::fromStdString(path)));
	ASSERT_TRUE(drop_file(fWindow, BPoint(85, 116), path));
	ASSERT_TRUE(wait_until([&] { return panel->Image() != nullptr; }));

	QDir().mkpath(BEINSTALLER_ARTIFACT_DIR);
	QImage withPicture = grab(fWindow);
	EXPECT_EQ(456, withPicture.width());
	EXPECT_TRUE(withPicture.save(QString(BEINSTALLER_ARTIFACT_DIR) + "/about-panel-picture.png"));
	click(fWindow, BPoint(85, 116));
	ASSERT_TRUE(wait_until([&] { return !panel->ShowsImage(); }));
	QImage withTexts = grab(fWindow);
	EXPECT_TRUE(shows_blue_text(withTexts));
	EXPECT_TRUE(withTexts.save(QString(BEINSTALLER_ARTIFACT_DIR) + "/about-panel-texts.png"));
}
