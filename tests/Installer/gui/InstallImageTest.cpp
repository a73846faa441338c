// InstallImage: texts centred along the panel, picture or texts and the click that flips them,
// dropped files (the right size, another size, no picture), the editable form's "Remove", and
// screenshots of both forms in the installer's layout.
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
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using namespace gui_test;

namespace {

const BPoint kMiddle(85, 116);

// The installer's window: the background and the panel at (10, 16).
class PanelWindow : public BWindow {
public:
	PanelWindow(bool editable) :
		BWindow(BRect(100, 100, 555, 357), "Demo Installer", B_TITLED_WINDOW, B_NOT_RESIZABLE)
	{
		BackgroundView* background = new BackgroundView(Bounds());
		AddChild(background);
		background->AddChild(fPanel = new InstallImage(BPoint(10, 16), editable));
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kImageChanged)
			fChanges++;
		else
			BWindow::MessageReceived(message);
	}

	InstallImage* fPanel;
	int32 fChanges = 0;
};

// Whether the product name's blue shows, or the red picture of red_archive() at the middle.
bool
shows_blue_text(const QImage& image)
{
	for (int y = 16; y <= 216; y++) {
		for (int x = 10; x <= 40; x++) {
			if (qBlue(image.pixel(x, y)) > 150 && qRed(image.pixel(x, y)) < 120)
				return true;
		}
	}
	return false;
}

bool
shows_red_picture(const QImage& image)
{
	return image.pixel((int)kMiddle.x, (int)kMiddle.y) == qRgb(255, 0, 0);
}

BMessage
red_archive()
{
	BBitmap bitmap(BRect(0, 0, 149, 199), B_RGB32);
	for (int32 i = 0; i < bitmap.BitsLength(); i += 4)
		memcpy(static_cast<uint8*>(bitmap.Bits()) + i, "\x00\x00\xff\xff", 4);
	BMessage archive;
	bitmap.Archive(&archive);
	return archive;
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
		Close();
	}

	InstallImage* Open(bool editable)
	{
		fWindow = new PanelWindow(editable);
		fWindow->Show();
		EXPECT_TRUE(wait_until([&] { return widget_of(fWindow) != nullptr; }));
		InstallImage* panel = fWindow->fPanel;
		panel->SetAppName("Demo Application");
		panel->SetVersion("1.2.0");
		panel->SetDate("Dec 7 2026");
		panel->SetCompany("Quillfield");
		panel->SetEmail("help@quillfield.example");
		return panel;
	}

	void Close()
	{
		if (fWindow != nullptr && fWindow->Lock())
			fWindow->Quit();
		fWindow = nullptr;
	}

	// Drops the file on the panel as the desktop does; waits for the window to hear of it.
	bool Drop(const std::string& path)
	{
		QMimeData data;
		data.setUrls({ QUrl::fromLocalFile(QString::fromStdString(path)) });
		QDragEnterEvent enter(QPoint(85, 116), Qt::CopyAction, &data, Qt::LeftButton, {});
		QCoreApplication::sendEvent(widget_of(fWindow), &enter);
		QDropEvent drop(QPointF(85, 116), Qt::CopyAction, &data, Qt::LeftButton, {});
		QCoreApplication::sendEvent(widget_of(fWindow), &drop);
		const int32 changes = fWindow->fChanges;
		return drop.isAccepted() && wait_until([&] { return fWindow->fChanges == changes + 1; });
	}

	BApplication fApplication { "application/x-vnd.test-install-image" };
	PanelWindow* fWindow = nullptr;
	std::vector<std::string> fAlerts;
	ScopedTempDir fFolder;
};

} // namespace

TEST_F(InstallImageTest, TextsAreCentredAlongThePanelAtTheirSizes)
{
	InstallImage* panel = Open(false);
	EXPECT_EQ(BRect(10, 16, 160, 216), panel->Frame());
	EXPECT_STREQ("InstallImage", panel->Name());
	EXPECT_EQ(B_FANCY_BORDER, panel->Border());
	BFont font;
	panel->GetFont(&font);
	EXPECT_EQ(90, font.Rotation());

	panel->SetAppName("A Much Longer Product Name");
	panel->SetEmail("");
	const std::pair<InstallImage::Text, float> rows[] = {
		{ InstallImage::APP_NAME, 18 },
		{ InstallImage::VERSION, 14 },
		{ InstallImage::COMPANY, 14 },
		{ InstallImage::EMAIL, 14 },
	};
	for (const auto& [which, size] : rows) {
		font.SetSize(size);
		const float width = font.StringWidth(panel->TextAt(which));
		// Drawn upwards from its position, the text's middle is the panel's middle.
		EXPECT_FLOAT_EQ(100, panel->TextPosition(which) - width / 2) << panel->TextAt(which);
	}
}

TEST_F(InstallImageTest, APictureOrTheTextsAndAClickFlipsBetweenThem)
{
	InstallImage* panel = Open(false);
	BMessage red = red_archive();
	panel->SetImage(red);
	EXPECT_TRUE(shows_red_picture(grab(fWindow)));
	EXPECT_FALSE(shows_blue_text(grab(fWindow)));
	click(fWindow, kMiddle);
	ASSERT_TRUE(wait_until([&] { return !panel->ShowsImage(); }));
	EXPECT_FALSE(shows_red_picture(grab(fWindow)));
	EXPECT_TRUE(shows_blue_text(grab(fWindow)));

	BMessage archive;
	panel->GetImage(archive);
	EXPECT_EQ(BRect(0, 0, 149, 199), BBitmap(&archive).Bounds());

	// An empty picture message: the texts show from the start, whatever the clicks do.
	BMessage empty;
	panel->SetImage(empty);
	BMessage untouched;
	panel->GetImage(untouched);
	EXPECT_TRUE(untouched.IsEmpty());
	for (int32 i = 0; i < 2; i++) {
		click(fWindow, kMiddle);
		run_for(30);
		EXPECT_TRUE(shows_blue_text(grab(fWindow)));
	}
	EXPECT_TRUE(fAlerts.empty());
}

TEST_F(InstallImageTest, DroppedFilesReplaceThePicture)
{
	const std::string right = fFolder.Child("about.png");
	const std::string wide = fFolder.Child("wide.png");
	const std::string text = fFolder.Child("readme.txt");
	ASSERT_TRUE(QImage(150, 200, QImage::Format_RGB32).save(QString::fromStdString(right)));
	ASSERT_TRUE(QImage(160, 200, QImage::Format_RGB32).save(QString::fromStdString(wide)));
	std::ofstream(text) << "not a picture";

	const struct {
		std::string path;
		std::string alert;
		BRect bounds;
	} rows[] = {
		{ right, "", BRect(0, 0, 149, 199) },
		{ wide,
			std::to_string(B_WARNING_ALERT)
				+ ":Image is not the correct size of 150x200. You may use this image, but it will "
				  "appear in the installer as shown here.",
			BRect(0, 0, 159, 199) },
		{ text, std::to_string(B_STOP_ALERT) + ":Image file not current supported", BRect() },
	};

	BMessage red = red_archive();
	for (bool editable : { false, true }) {
		InstallImage* panel = Open(editable);
		for (const auto& row : rows) {
			fAlerts.clear();
			panel->SetImage(red);
			click(fWindow, kMiddle);
			ASSERT_TRUE(wait_until([&] { return !panel->ShowsImage(); }));
			ASSERT_TRUE(Drop(row.path)) << row.path;
			EXPECT_EQ(row.alert.empty() ? 0u : 1u, fAlerts.size()) << row.path;
			EXPECT_EQ(row.alert, fAlerts.empty() ? "" : fAlerts[0]) << row.path;
			if (!row.bounds.IsValid()) {
				EXPECT_EQ(nullptr, panel->Image()) << row.path;
				continue;
			}
			ASSERT_NE(nullptr, panel->Image()) << row.path;
			EXPECT_EQ(row.bounds, panel->Image()->Bounds()) << row.path;
			EXPECT_TRUE(panel->ShowsImage()) << row.path;
		}
		Close();
	}
}

TEST_F(InstallImageTest, OnlyTheEditableFormOffersRemove)
{
	std::vector<std::string> menus;
	BPrivate::set_menu_chooser([&](BMenu* menu) -> BMenuItem* {
		menus.push_back(menu->Name() + std::string(":") + menu->ItemAt(0)->Label());
		return menu->FindItem("Remove");
	});
	BMessage red = red_archive();
	for (bool editable : { true, false }) {
		menus.clear();
		InstallImage* panel = Open(editable);
		panel->SetImage(red);
		click(fWindow, kMiddle, Qt::MiddleButton);
		ASSERT_TRUE(wait_until([&] { return !panel->ShowsImage(); }));
		// The installer's read-only form flips on the tertiary button like on any other.
		EXPECT_EQ(editable, panel->Image() == nullptr);
		EXPECT_EQ(
			editable ? std::vector<std::string> { "img_menu:Remove" } : std::vector<std::string> {},
			menus);
		Close();
	}
}

TEST_F(InstallImageTest, ScreenshotsOfBothForms)
{
	InstallImage* panel = Open(false);
	QImage picture(150, 200, QImage::Format_RGB32);
	for (int y = 0; y < 200; y++) {
		for (int x = 0; x < 150; x++)
			picture.setPixel(x, y, qRgb(40 + x, 90 + y / 2, 200 - y / 2));
	}
	ASSERT_TRUE(picture.save(QString::fromStdString(fFolder.Child("about.png"))));
	ASSERT_TRUE(Drop(fFolder.Child("about.png")));

	QDir().mkpath(BEINSTALLER_ARTIFACT_DIR);
	EXPECT_TRUE(grab(fWindow).save(QString(BEINSTALLER_ARTIFACT_DIR) + "/about-panel-picture.png"));
	click(fWindow, kMiddle);
	ASSERT_TRUE(wait_until([&] { return !panel->ShowsImage(); }));
	EXPECT_TRUE(grab(fWindow).save(QString(BEINSTALLER_ARTIFACT_DIR) + "/about-panel-texts.png"));
}
