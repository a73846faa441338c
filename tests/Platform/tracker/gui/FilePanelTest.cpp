// BFilePanel: the filter sees every entry with its type, a folder panel returns the chosen
// folder to its target, and the panel's window carries the "MenuBar" view.
#include <AppDefs.h>
#include <Application.h>
#include <Directory.h>
#include <Entry.h>
#include <FilePanel.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <MimeType.h>
#include <Node.h>
#include <Path.h>
#include <Volume.h>
#include <VolumeRoster.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "TempDir.h"
#include "qt/MenuPopup.h"
#include "qt/MenuTestHook.h"

#include <QDir>
#include <QPainter>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <vector>

using namespace gui_test;

namespace {

class FolderFilter : public BRefFilter {
public:
	bool Filter(const entry_ref* ref, BNode* node, struct stat* st, const char* mimeType) override
	{
		std::lock_guard<std::mutex> lock(fLock);
		fSeen[ref->name] = mimeType;
		EXPECT_EQ(B_OK, node->InitCheck());
		return S_ISDIR(st->st_mode) && strcmp(mimeType, B_DIRECTORY_MIME_TYPE) == 0;
	}

	std::mutex fLock;
	std::map<std::string, std::string> fSeen;
};

class TargetWindow : public BWindow {
public:
	TargetWindow() :
		BWindow(BRect(10, 10, 109, 109), "Target", B_TITLED_WINDOW, 0)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'fold') {
			std::lock_guard<std::mutex> lock(fLock);
			fChoices.push_back(*message);
			return;
		}
		BWindow::MessageReceived(message);
	}

	size_t Count()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fChoices.size();
	}

	std::mutex fLock;
	std::vector<BMessage> fChoices;
};

class ScopedChooser {
public:
	explicit ScopedChooser(BPrivate::MenuChooser chooser)
	{
		BPrivate::set_menu_chooser(std::move(chooser));
	}

	~ScopedChooser() { BPrivate::set_menu_chooser(BPrivate::MenuChooser()); }
};

// The list starts 10 pixels into the area under the 20-pixel menu bar; rows are 16 high.
BPoint
row_point(int row)
{
	return BPoint(50, 20 + 10 + 16 * row + 8);
}

} // namespace

TEST(FilePanelTest, AFolderPanelReturnsTheChosenFolderToItsTarget)
{
	BApplication application("application/x-vnd.test-file-panel");
	ScopedTempDir dir;
	std::filesystem::create_directory(dir.Path() / "Alpha");
	std::filesystem::create_directory(dir.Path() / "Beta");
	std::ofstream(dir.Path() / "notes.txt") << "text";

	TargetWindow* target = new TargetWindow;
	target->Show();
	FolderFilter filter;
	BMessenger messenger(target);
	BFilePanel panel(
		B_OPEN_PANEL, &messenger, NULL, B_DIRECTORY_NODE, false, NULL, &filter, false, true);
	BMessage message('fold');
	panel.SetMessage(&message);
	panel.SetPanelDirectory(dir.Path().c_str());
	entry_ref shown;
	panel.GetPanelDirectory(&shown);
	EXPECT_EQ(dir.Path().string(), BPath(&shown).Path());

	{
		std::lock_guard<std::mutex> lock(filter.fLock);
		EXPECT_EQ(B_DIRECTORY_MIME_TYPE, filter.fSeen["Alpha"]);
		EXPECT_EQ(B_DIRECTORY_MIME_TYPE, filter.fSeen["Beta"]);
		ASSERT_EQ(1u, filter.fSeen.count("notes.txt")) << "the filter sees files too";
		EXPECT_NE(B_DIRECTORY_MIME_TYPE, filter.fSeen["notes.txt"]);
	}

	EXPECT_FALSE(panel.IsShowing());
	panel.Show();
	EXPECT_TRUE(panel.IsShowing());
	BWindow* window = panel.Window();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	window->Lock();
	EXPECT_NE(nullptr, dynamic_cast<BMenuBar*>(window->FindView("MenuBar")));
	window->Unlock();

	// Beta is the second row: Alpha, Beta (the text file is filtered out).
	click(window, row_point(1));
	run_for(50);
	panel.Rewind();
	entry_ref selected;
	ASSERT_EQ(B_OK, panel.GetNextSelectedRef(&selected));
	EXPECT_STREQ("Beta", selected.name);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, panel.GetNextSelectedRef(&selected));

	const BRect bounds = window->Bounds();
	click(window, BPoint(bounds.right - 50, bounds.bottom - 20)); // Open
	ASSERT_TRUE(wait_until([&] { return target->Count() == 1; }));
	entry_ref chosen;
	ASSERT_EQ(B_OK, target->fChoices[0].FindRef("refs", &chosen));
	EXPECT_EQ((dir.Path() / "Beta").string(), BPath(&chosen).Path());
	EXPECT_FALSE(target->fChoices[0].HasRef("refs", 1));
	ASSERT_TRUE(wait_until([&] { return !panel.IsShowing(); }));

	if (target->Lock())
		target->Quit();
}

TEST(FilePanelTest, AFolderPanelWithNothingSelectedChoosesTheShownFolder)
{
	BApplication application("application/x-vnd.test-file-panel-current");
	ScopedTempDir dir;
	TargetWindow* target = new TargetWindow;
	target->Show();
	BMessenger messenger(target);
	BFilePanel panel(B_OPEN_PANEL, &messenger, NULL, B_DIRECTORY_NODE, false, new BMessage('fold'),
		NULL, false, false);
	entry_ref ref;
	ASSERT_EQ(B_OK, BEntry(dir.Path().c_str()).GetRef(&ref));
	panel.SetPanelDirectory(&ref);
	panel.Show();
	BWindow* window = panel.Window();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
	const BRect bounds = window->Bounds();
	click(window, BPoint(bounds.right - 50, bounds.bottom - 20));
	ASSERT_TRUE(wait_until([&] { return target->Count() == 1; }));
	entry_ref chosen;
	ASSERT_EQ(B_OK, target->fChoices[0].FindRef("refs", &chosen));
	EXPECT_EQ(dir.Path().string(), BPath(&chosen).Path());
	// Not hiding when done: the panel stays open.
	EXPECT_TRUE(panel.IsShowing());
	panel.Hide();
	EXPECT_FALSE(panel.IsShowing());
	if (target->Lock())
		target->Quit();
}

namespace {

std::vector<std::string>
labels_of(BMenu* menu)
{
	std::vector<std::string> labels;
	for (int32 i = 0; i < menu->CountItems(); i++)
		labels.push_back(menu->ItemAt(i)->Label());
	return labels;
}

std::string
shown_folder(BFilePanel& panel)
{
	entry_ref ref;
	panel.GetPanelDirectory(&ref);
	return BPath(&ref).Path();
}

} // namespace

// The panel goes up with Ctrl+Up or Alt+Up, and its folder menu leads to every ancestor and
// every mounted volume; a volume's root can be chosen like any folder.
TEST(FilePanelTest, ThePanelGoesUpAndReachesAncestorsAndVolumes)
{
	BApplication application("application/x-vnd.test-file-panel-navigation");
	ScopedTempDir dir;
	std::filesystem::create_directories(dir.Path() / "Alpha" / "Inner");
	TargetWindow* target = new TargetWindow;
	target->Show();
	BMessenger messenger(target);
	BFilePanel panel(B_OPEN_PANEL, &messenger, NULL, B_DIRECTORY_NODE, false, new BMessage('fold'),
		NULL, false, true);
	panel.SetPanelDirectory((dir.Path() / "Alpha" / "Inner").c_str());
	panel.Show();
	BWindow* window = panel.Window();
	ASSERT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));

	// The folder menu: the ancestors from the root down, the shown folder marked, then
	// the volumes.
	window->Lock();
	BMenuBar* bar = dynamic_cast<BMenuBar*>(window->FindView("MenuBar"));
	ASSERT_NE(nullptr, bar);
	BMenu* folders = bar->SubmenuAt(0);
	ASSERT_NE(nullptr, folders);
	EXPECT_STREQ("Inner", bar->ItemAt(0)->Label());
	std::vector<std::string> labels = labels_of(folders);
	const std::vector<std::string> tail = { dir.Path().filename().string(), "Alpha", "Inner" };
	const auto separator = std::find(labels.begin(), labels.end(), "");
	ASSERT_NE(labels.end(), separator);
	const size_t ancestors = (size_t)(separator - labels.begin());
	ASSERT_GE(ancestors, 4u);
	EXPECT_EQ(tail, std::vector<std::string>(separator - 3, separator));
	EXPECT_TRUE(folders->ItemAt((int32)ancestors - 1)->IsMarked());
	BVolume boot;
	BVolumeRoster().GetBootVolume(&boot);
	char bootName[B_FILE_NAME_LENGTH];
	ASSERT_EQ(B_OK, boot.GetName(bootName));
	EXPECT_NE(std::find(separator, labels.end(), std::string(bootName)), labels.end());
	window->Unlock();

	send_key(window, Qt::Key_Up, Qt::ControlModifier);
	ASSERT_TRUE(wait_until([&] { return shown_folder(panel) == (dir.Path() / "Alpha").string(); }));
	send_key(window, Qt::Key_Up, Qt::AltModifier);
	ASSERT_TRUE(wait_until([&] { return shown_folder(panel) == dir.Path().string(); }));

	// The screenshot: the panel with its folder menu open under the bar.
	{
		QImage panelImage = grab(window);
		window->Lock();
		const BPoint under =
			window->ConvertToScreen(BPoint(bar->ItemAt(0)->Frame().left, bar->Frame().bottom + 1));
		window->Unlock();
		// Closed without a choice, the menu reports nothing.
		BPrivate::open_menu(folders, under, [](const BPrivate::MenuPath&) {});
		ASSERT_TRUE(wait_until([] { return QApplication::activePopupWidget() != nullptr; }));
		QWidget* popup = QApplication::activePopupWidget();
		const QImage menuImage = popup->grab().toImage();
		QImage composed(panelImage.width(), std::max(panelImage.height(), 21 + menuImage.height()),
			QImage::Format_RGB32);
		composed.fill(Qt::white);
		QPainter painter(&composed);
		painter.drawImage(0, 0, panelImage);
		painter.drawImage(0, 21, menuImage);
		painter.end();
		QDir().mkpath(BEINSTALLER_ARTIFACT_DIR);
		composed.save(QString(BEINSTALLER_ARTIFACT_DIR) + "/file-panel.png");
		popup->close();
		ASSERT_TRUE(wait_until([] { return QApplication::activePopupWidget() == nullptr; }));
	}

	// The boot volume from the menu, then Open with nothing selected chooses its root.
	BDirectory root;
	ASSERT_EQ(B_OK, boot.GetRootDirectory(&root));
	BEntry rootEntry;
	ASSERT_EQ(B_OK, root.GetEntry(&rootEntry));
	const std::string rootPath = BPath(&rootEntry).Path();
	{
		ScopedChooser chooser([&](BMenu* opened) -> BMenuItem* {
			for (int32 i = opened->CountItems() - 1; i >= 0; i--) {
				if (strcmp(opened->ItemAt(i)->Label(), bootName) == 0)
					return opened->ItemAt(i);
			}
			return NULL;
		});
		window->Lock();
		const BRect item = bar->ItemAt(0)->Frame();
		window->Unlock();
		click(window, BPoint(item.left + 5, item.top + 5));
		ASSERT_TRUE(wait_until([&] { return shown_folder(panel) == rootPath; }));
	}
	window->Lock();
	EXPECT_STREQ(bootName, bar->ItemAt(0)->Label());
	window->Unlock();
	const BRect bounds = window->Bounds();
	click(window, BPoint(bounds.right - 50, bounds.bottom - 20)); // Open
	ASSERT_TRUE(wait_until([&] { return target->Count() == 1; }));
	entry_ref chosen;
	ASSERT_EQ(B_OK, target->fChoices[0].FindRef("refs", &chosen));
	EXPECT_EQ(rootPath, BPath(&chosen).Path());

	if (target->Lock())
		target->Quit();
}
