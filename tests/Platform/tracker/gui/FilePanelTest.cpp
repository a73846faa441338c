// BFilePanel: the filter sees every entry with its type, a folder panel returns the chosen
// folder to its target, and the panel's window carries the "MenuBar" view.
#include <AppDefs.h>
#include <Application.h>
#include <Entry.h>
#include <FilePanel.h>
#include <MenuBar.h>
#include <Message.h>
#include <MimeType.h>
#include <Node.h>
#include <Path.h>
#include <Window.h>

#include "GuiTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

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
