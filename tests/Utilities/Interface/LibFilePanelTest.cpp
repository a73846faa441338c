// LibFilePanel: the folder chooser as both programs use it: the folders it shows and moves to,
// what its filter lists and what is chosen, the "Format" menu's marked item with the choice,
// and the state record.
#include "LibFilePanel.h"

#include <Entry.h>
#include <FindDirectory.h>
#include <Looper.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <MimeType.h>
#include <Path.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

using namespace gui_test;
namespace fs = std::filesystem;

namespace {

// Keeps the panel's messages, on a looper of its own.
class ChoiceLooper : public BLooper {
public:
	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> lock(fLock);
		fMessages.push_back(*message);
	}

	std::mutex fLock;
	std::vector<BMessage> fMessages;
};

std::string
path_of(const entry_ref& ref)
{
	BPath path(&ref);
	return path.InitCheck() == B_OK ? path.Path() : std::string();
}

std::string
panel_folder(LibFilePanel& panel)
{
	entry_ref ref;
	panel.GetPanelDirectory(&ref);
	return path_of(ref);
}

std::string
real_path(const fs::path& path)
{
	return fs::canonical(path).string();
}

class LibFilePanelTest : public testing::Test {
protected:
	void SetUp() override
	{
		fLooper->Run();
		fs::create_directories(fFolder.Path() / "Docs");
		std::ofstream(fFolder.Child("readme")) << "text";
	}

	void TearDown() override
	{
		if (fLooper->Lock())
			fLooper->Quit();
	}

	// Shows the panel at the test folder, clicks the row (below the rows for none) and
	// Open; returns the chosen path.
	std::string Choose(LibFilePanel& panel, int32 row)
	{
		panel.BFilePanel::SetPanelDirectory(fFolder.Path().c_str());
		panel.Show();
		BWindow* window = panel.Window();
		EXPECT_TRUE(wait_until([&] { return widget_of(window) != nullptr; }));
		auto click_at = [&](const char* name, float y) {
			BView* view = window->FindView(name);
			BRect frame = view->Bounds();
			view->ConvertToScreen(&frame);
			click(window, BPoint(frame.left + 20, frame.top + y) - window->Frame().LeftTop());
		};
		click_at("PoseView", row * 16.0f + 8);
		size_t before;
		{
			std::lock_guard<std::mutex> lock(fLooper->fLock);
			before = fLooper->fMessages.size();
		}
		click_at("default button", 10);
		if (!wait_until([&] {
				std::lock_guard<std::mutex> lock(fLooper->fLock);
				return fLooper->fMessages.size() > before;
			})) {
			return "nothing chosen";
		}
		std::lock_guard<std::mutex> lock(fLooper->fLock);
		fChoice = fLooper->fMessages.back();
		entry_ref ref;
		fChoice.FindRef("refs", &ref);
		return path_of(ref);
	}

	ScopedTempDir fFolder;
	ChoiceLooper* fLooper = new ChoiceLooper;
	BMessage fChoice;
};

} // namespace

TEST_F(LibFilePanelTest, ItShowsTheFoldersItIsToldAndMovesUp)
{
	LibFilePanel panel(B_OPEN_PANEL, fLooper, 2005, B_DIRECTORY_NODE, false);
	// No start folder: the user's home.
	EXPECT_EQ(real_path(getenv("HOME")), panel_folder(panel));
	EXPECT_FALSE(panel.HidesWhenDone());
	EXPECT_EQ(panel.Filter(), panel.RefFilter());

	// A path shows the folder that holds it, so that it can be chosen there.
	panel.SetPanelDirectory((fFolder.Path() / "Docs").c_str());
	EXPECT_EQ(real_path(fFolder.Path()), panel_folder(panel));
	panel.SetToParentDirectory();
	EXPECT_EQ(real_path(fFolder.Path().parent_path()), panel_folder(panel));
	BPath desktop;
	ASSERT_EQ(B_OK, find_directory(B_DESKTOP_DIRECTORY, &desktop, true));
	panel.SetPanelDirectory(B_DESKTOP_DIRECTORY);
	EXPECT_EQ(real_path(desktop.Path()), panel_folder(panel));
	panel.BFilePanel::SetPanelDirectory("/");
	panel.SetToParentDirectory();
	EXPECT_EQ("/", panel_folder(panel));
}

TEST_F(LibFilePanelTest, TheFilterDecidesWhatIsListedAndChosen)
{
	BMessenger target(fLooper);
	LibFilePanel folders(B_OPEN_PANEL, &target, 2005, B_DIRECTORY_NODE, false);
	folders.Filter()->AddType(B_DIRECTORY_MIME_TYPE);
	folders.Filter()->AddType(B_VOLUME_MIME_TYPE);
	EXPECT_EQ(real_path(fFolder.Path() / "Docs"), Choose(folders, 0));
	EXPECT_EQ(2005u, fChoice.what);
	EXPECT_FALSE(fChoice.HasString("marked"));
	// The panel stays open after a choice; with nothing selected its folder is chosen.
	EXPECT_TRUE(folders.IsShowing());
	EXPECT_EQ(real_path(fFolder.Path()), Choose(folders, 1));

	// A panel that lists files as well shows them only when the filter admits them.
	LibFilePanel files(B_OPEN_PANEL, fLooper, 2005, B_FILE_NODE | B_DIRECTORY_NODE, false);
	files.Filter()->AddType(B_DIRECTORY_MIME_TYPE);
	files.Refresh();
	EXPECT_EQ(real_path(fFolder.Path()), Choose(files, 1));
	files.Filter()->AllowAllFiles(true);
	files.Refresh();
	EXPECT_EQ(real_path(fFolder.Path() / "readme"), Choose(files, 1));
}

TEST_F(LibFilePanelTest, TheMarkedFormatGoesWithTheChoice)
{
	LibFilePanel panel(B_OPEN_PANEL, fLooper, 2005, B_DIRECTORY_NODE, false);
	panel.Filter()->AddType(B_DIRECTORY_MIME_TYPE);
	EXPECT_EQ(nullptr, panel.FormatMenu());
	panel.AddFormatMenuItem("Plain text", false);
	panel.AddFormatMenuItem("Rich text", true);
	panel.AddFormatMenuItem("Web page", false);
	BMenu* format = panel.FormatMenu();
	ASSERT_NE(nullptr, format);
	EXPECT_TRUE(format->IsRadioMode());
	EXPECT_STREQ("Format", format->Superitem()->Label());
	EXPECT_EQ(panel.Window()->FindView("MenuBar"), format->Supermenu());

	Choose(panel, 0);
	EXPECT_STREQ("Rich text", fChoice.GetString("marked", ""));
	format->ItemAt(2)->SetMarked(true);
	Choose(panel, 0);
	EXPECT_STREQ("Web page", fChoice.GetString("marked", ""));
}

TEST_F(LibFilePanelTest, TheStateRecordRestoresFolderAndFrame)
{
	lib_panel_state state;
	{
		LibFilePanel panel(B_OPEN_PANEL, fLooper, 2005, B_DIRECTORY_NODE, false);
		panel.SetPanelDirectory((fFolder.Path() / "Docs").c_str());
		panel.Window()->Lock();
		panel.Window()->MoveTo(120, 90);
		panel.Window()->ResizeTo(499, 311);
		panel.Window()->Unlock();
		panel.GetState(state);
	}
	EXPECT_EQ(real_path(fFolder.Path()), path_of(state.directory));
	EXPECT_EQ(BRect(120, 90, 619, 401), state.frame);

	LibFilePanel again(B_OPEN_PANEL, fLooper, 2005, B_DIRECTORY_NODE, false);
	again.SetState(state);
	lib_panel_state restored;
	again.GetState(restored);
	EXPECT_EQ(real_path(fFolder.Path()), path_of(restored.directory));
	EXPECT_EQ(state.frame, restored.frame);
}
