// LibFilePanel: the folder chooser as both programs use it: the folders it shows and moves to,
// what a directories-only filter lists and what is chosen, the "Format" menu's marked item
// with the choice, and the state record.
#include "LibFilePanel.h"

#include <Entry.h>
#include <FindDirectory.h>
#include <Looper.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <MimeType.h>
#include <Path.h>
#include <View.h>
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

const uint32 kFolderChosen = 2005;

// Collects the panel's messages on a looper of its own.
class ChoiceLooper : public BLooper {
public:
	ChoiceLooper() :
		BLooper("choices")
	{
	}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> lock(fLock);
		fMessages.push_back(*message);
	}

	size_t Count()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fMessages.size();
	}

	BMessage At(size_t index)
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fMessages.at(index);
	}

private:
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

// Clicks the middle of a view of the panel's window.
void
click_view(BWindow* window, BView* view, float y = -1)
{
	BRect frame = view->Bounds();
	view->ConvertToScreen(&frame);
	BPoint where(
		(frame.left + frame.right) / 2, y < 0 ? (frame.top + frame.bottom) / 2 : frame.top + y);
	click(window, where - window->Frame().LeftTop());
}

class LibFilePanelTest : public testing::Test {
protected:
	void SetUp() override
	{
		fLooper = new ChoiceLooper;
		fLooper->Run();
		fs::create_directories(fFolder.Path() / "Docs");
		std::ofstream(fFolder.Child("readme")) << "text";
	}

	void TearDown() override
	{
		if (fLooper->Lock())
			fLooper->Quit();
	}

	// Shows the panel at the folder and chooses the row (none: -1) with Open; returns the
	// chosen path, or "" when nothing came.
	std::string Choose(LibFilePanel& panel, int32 row)
	{
		panel.BFilePanel::SetPanelDirectory(fFolder.Path().c_str());
		panel.Show();
		BWindow* window = panel.Window();
		EXPECT_TRUE(
			wait_until([&] { return widget_of(window) != nullptr && !window->IsHidden(); }));
		BView* list = window->FindView("PoseView");
		BView* open = window->FindView("default button");
		if (list == NULL || open == NULL)
			return "no list or button";
		// A click below the rows clears the selection; a folder panel then chooses its folder.
		click_view(window, list, row >= 0 ? row * 16.0f + 8 : list->Bounds().bottom - 2);
		size_t before = fLooper->Count();
		click_view(window, open);
		if (!wait_until([&] { return fLooper->Count() > before; }))
			return "";
		fLastChoice = fLooper->At(before);
		entry_ref ref;
		if (fLastChoice.FindRef("refs", &ref) != B_OK)
			return "no refs";
		return path_of(ref);
	}

	ScopedTempDir fFolder;
	ChoiceLooper* fLooper = nullptr;
	BMessage fLastChoice;
};

} // namespace

TEST_F(LibFilePanelTest, ItShowsTheFoldersItIsToldAndMovesUp)
{
	LibFilePanel panel(B_OPEN_PANEL, fLooper, kFolderChosen, B_DIRECTORY_NODE, false);
	// No start folder: the user's home.
	EXPECT_EQ(real_path(getenv("HOME")), panel_folder(panel));
	EXPECT_FALSE(panel.IsShowing());
	EXPECT_FALSE(panel.HidesWhenDone());
	EXPECT_EQ(panel.Filter(), panel.RefFilter());

	// A path shows the folder that holds it, so that it can be chosen there.
	panel.SetPanelDirectory((fFolder.Path() / "Docs").c_str());
	EXPECT_EQ(real_path(fFolder.Path()), panel_folder(panel));
	panel.SetPanelDirectory(fFolder.Child("readme").c_str());
	EXPECT_EQ(real_path(fFolder.Path()), panel_folder(panel));

	panel.SetToParentDirectory();
	EXPECT_EQ(real_path(fFolder.Path().parent_path()), panel_folder(panel));

	panel.SetPanelDirectory(B_USER_DIRECTORY);
	EXPECT_EQ(real_path(getenv("HOME")), panel_folder(panel));
	BPath desktop;
	ASSERT_EQ(B_OK, find_directory(B_DESKTOP_DIRECTORY, &desktop, true));
	panel.SetPanelDirectory(B_DESKTOP_DIRECTORY);
	EXPECT_EQ(real_path(desktop.Path()), panel_folder(panel));

	panel.BFilePanel::SetPanelDirectory("/");
	panel.SetToParentDirectory();
	EXPECT_EQ("/", panel_folder(panel));
}

TEST_F(LibFilePanelTest, ADirectoriesOnlyPanelListsAndChoosesFolders)
{
	BMessenger target(fLooper);
	LibFilePanel panel(B_OPEN_PANEL, &target, kFolderChosen, B_DIRECTORY_NODE, false);
	panel.Filter()->AddType(B_DIRECTORY_MIME_TYPE);
	panel.Filter()->AddType(B_VOLUME_MIME_TYPE);
	panel.Refresh();

	EXPECT_EQ(real_path(fFolder.Path() / "Docs"), Choose(panel, 0));
	EXPECT_EQ(kFolderChosen, fLastChoice.what);
	EXPECT_FALSE(fLastChoice.HasString("marked"));
	// The panel stays open after a choice.
	EXPECT_TRUE(panel.IsShowing());
	// The file is not listed: the second row is empty and the shown folder is chosen.
	EXPECT_EQ(real_path(fFolder.Path()), Choose(panel, 1));

	// A panel that lists files as well shows them only when the filter admits them.
	LibFilePanel files(B_OPEN_PANEL, fLooper, kFolderChosen, B_FILE_NODE | B_DIRECTORY_NODE, false);
	files.Filter()->AddType(B_DIRECTORY_MIME_TYPE);
	files.Refresh();
	EXPECT_EQ(real_path(fFolder.Path()), Choose(files, 1));
	files.Filter()->AllowAllFiles(true);
	files.Refresh();
	EXPECT_EQ(real_path(fFolder.Path() / "readme"), Choose(files, 1));
}

TEST_F(LibFilePanelTest, TheMarkedFormatGoesWithTheChoice)
{
	LibFilePanel panel(B_OPEN_PANEL, fLooper, kFolderChosen, B_DIRECTORY_NODE, false);
	panel.Filter()->AddType(B_DIRECTORY_MIME_TYPE);
	EXPECT_EQ(nullptr, panel.FormatMenu());
	panel.AddFormatMenuItem("Plain text", false);
	panel.AddFormatMenuItem("Rich text", true);
	panel.AddFormatMenuItem("Web page", false);

	BMenu* format = panel.FormatMenu();
	ASSERT_NE(nullptr, format);
	EXPECT_TRUE(format->IsRadioMode());
	EXPECT_EQ(3, format->CountItems());
	BMenuBar* bar = dynamic_cast<BMenuBar*>(panel.Window()->FindView("MenuBar"));
	ASSERT_NE(nullptr, bar);
	EXPECT_NE(-1, bar->IndexOf(format));
	EXPECT_STREQ("Format", format->Superitem()->Label());

	EXPECT_EQ(real_path(fFolder.Path() / "Docs"), Choose(panel, 0));
	EXPECT_STREQ("Rich text", fLastChoice.GetString("marked", ""));

	format->ItemAt(2)->SetMarked(true);
	Choose(panel, 0);
	EXPECT_STREQ("Web page", fLastChoice.GetString("marked", ""));
}

TEST_F(LibFilePanelTest, StateRecordRestoresFolderAndFrame)
{
	lib_panel_state state;
	{
		LibFilePanel panel(B_OPEN_PANEL, fLooper, kFolderChosen, B_DIRECTORY_NODE, false);
		panel.SetPanelDirectory((fFolder.Path() / "Docs").c_str());
		panel.Window()->Lock();
		panel.Window()->MoveTo(120, 90);
		panel.Window()->ResizeTo(499, 311);
		panel.Window()->Unlock();
		panel.GetState(state);
	}
	EXPECT_EQ(real_path(fFolder.Path()), path_of(state.directory));
	EXPECT_EQ(BRect(120, 90, 619, 401), state.frame);

	LibFilePanel again(B_OPEN_PANEL, fLooper, kFolderChosen, B_DIRECTORY_NODE, false);
	again.SetState(state);
	lib_panel_state restored;
	again.GetState(restored);
	EXPECT_EQ(real_path(fFolder.Path()), path_of(restored.directory));
	EXPECT_EQ(state.frame, restored.frame);
}
