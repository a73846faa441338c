// DeinstallFilesWin: its layout, the rows and the Deinstall button, what a removal moves and
// keeps (in the Trash and in a chosen folder, with the replace question's "Apply to all"),
// the script sections, and a failed move that keeps its row.
#include "DeinstallFilesWin.h"

#include <LibAlert.h>
#include <LibFilePanel.h>
#include <LibStringList.h>
#include <LibStringView.h>

#include <Button.h>
#include <Entry.h>
#include <FileListItem.h>
#include <FindDirectory.h>
#include <ListView.h>
#include <Path.h>
#include <SavedEntry.h>
#include <ScrollView.h>

#include "../DeinstallTestSupport.h"
#include "GuiTestSupport.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace deinstall_test;
using namespace file_test;
using namespace gui_test;

namespace {

class DeinstallFilesWinTest : public testing::Test {
protected:
	void SetUp() override
	{
		LibSetAlertPolicy([this](const LibAlertQuestion& question) {
			fAlerts.push_back(question.text);
			fReplaceQuestions += question.isReplace;
			fButtons.clear();
			for (int32 i = 0; i < question.buttonCount; i++)
				fButtons.push_back(question.buttons[i] != NULL ? question.buttons[i] : "");
			LibAlertAnswer answer;
			answer.button = question.isReplace ? fReplaceButton : fOtherButton;
			answer.applyToAll = question.isReplace;
			return answer;
		});
		fWindow = new DeinstallFilesWin();
		fWindow->Run();
		fWindow->Show();
		fHome = fSandbox.Home();
	}

	void TearDown() override
	{
		if (fWindow->Lock())
			fWindow->Quit();
		LibSetAlertPolicy(LibAlertPolicy());
	}

	// Makes the entries (a trailing "/" makes a folder) and lists them in the window.
	void SetPaths(const std::vector<std::string>& relative)
	{
		LibStringList paths;
		for (const std::string& path : relative) {
			std::string full = (fHome / path).string();
			if (full.back() == '/') {
				full.pop_back();
				fs::create_directories(full);
			} else {
				write_file(full, path);
			}
			paths.Add(full.c_str());
		}
		fWindow->SetPaths(paths);
	}

	std::vector<std::string> Rows()
	{
		std::vector<std::string> rows;
		BListView* list = fWindow->List();
		for (int32 i = 0; i < list->CountItems(); i++) {
			fs::path path = static_cast<FileListItem*>(list->ItemAt(i))->Path().Path();
			rows.push_back(path.lexically_relative(fHome).string()
				+ (list->IsItemSelected(i) ? " (selected)" : ""));
		}
		return rows;
	}

	BButton* Button(const char* name) { return static_cast<BButton*>(fWindow->FindView(name)); }

	void ChooseFolder(const fs::path& folder)
	{
		fWindow->SelectMoveDestination();
		ASSERT_NE(fWindow->Panel(), nullptr);
		BMessage choice(kFolderChosenMessage);
		entry_ref ref;
		ASSERT_EQ(get_ref_for_path(folder.c_str(), &ref), B_OK);
		choice.AddRef("refs", &ref);
		fWindow->MoveDestinationChoosen(&choice);
		EXPECT_EQ(fWindow->Panel(), nullptr);
	}

	std::string Trash()
	{
		BPath trash;
		find_directory(B_TRASH_DIRECTORY, &trash, true);
		return trash.Path();
	}

	ScopedSandbox fSandbox;
	fs::path fHome;
	DeinstallFilesWin* fWindow = nullptr;
	std::vector<std::string> fAlerts;
	int fReplaceQuestions = 0;
	int32 fReplaceButton = 0;
	// The answer to every other question, and the buttons of the last one.
	int32 fOtherButton = 0;
	std::vector<std::string> fButtons;
};

} // namespace

TEST_F(DeinstallFilesWinTest, LaysOutTheItemsWindowWithEveryRowSelected)
{
	SetPaths(
		{ "Editor/", "Editor/Editor", "Editor/data/", "Editor/data/a long file name of words" });
	ASSERT_TRUE(fWindow->Lock());
	EXPECT_EQ(fWindow->Bounds(), BRect(0, 0, 490, 230));
	EXPECT_STREQ(fWindow->Title(), "Deinstall Items");
	EXPECT_STREQ(fWindow->Name(), "DeinstallFilesWin");
	EXPECT_NE(fWindow->Flags() & B_NOT_CLOSABLE, 0u);
	BRect scroll = fWindow->FindView("list_scroll")->Frame();
	EXPECT_EQ(fWindow->List()->Frame().OffsetByCopy(scroll.LeftTop()), BRect(10, 10, 390, 195));
	// A 24-pixel picture spans 23 units of an inclusive frame.
	EXPECT_EQ(
		fWindow->FindView("folder")->Frame(), BRect(9, scroll.bottom + 4, 32, scroll.bottom + 27));
	EXPECT_EQ(fWindow->FindView("destination_path")->Frame(),
		BRect(37, scroll.bottom + 10, 187, scroll.bottom + 25));
	EXPECT_EQ(Button("all")->Frame(), BRect(417, 10, 482, 30));
	EXPECT_EQ(Button("none")->Frame(), BRect(417, 40, 482, 60));
	EXPECT_EQ(Button("deinstall")->Frame(), BRect(417, 193, 482, 213));
	EXPECT_EQ(fWindow->DefaultButton(), Button("deinstall"));
	EXPECT_EQ(fWindow->Destination(), Trash().c_str());
	fWindow->Unlock();
	EXPECT_EQ(Rows(),
		(std::vector<std::string> { "Editor (selected)", "Editor/Editor (selected)",
			"Editor/data (selected)", "Editor/data/a long file name of words (selected)" }));

	fs::create_directories(BEINSTALLER_ARTIFACT_DIR);
	EXPECT_TRUE(grab(fWindow).save(BEINSTALLER_ARTIFACT_DIR "/deinstaller-items-window.png"));
}

TEST_F(DeinstallFilesWinTest, AllNoneAndTheSelectionEnableDeinstall)
{
	SetPaths({ "a", "b" });
	EXPECT_TRUE(Button("deinstall")->IsEnabled());
	fWindow->PostMessage(kSelectNoneMessage);
	EXPECT_TRUE(wait_until([&] { return !Button("deinstall")->IsEnabled(); }));
	EXPECT_EQ(Rows(), (std::vector<std::string> { "a", "b" }));
	fWindow->PostMessage(kSelectAllMessage);
	EXPECT_TRUE(wait_until([&] { return Button("deinstall")->IsEnabled(); }));
	// A click on a row selects it alone.
	fWindow->PostMessage(kSelectNoneMessage);
	wait_until([&] { return !Button("deinstall")->IsEnabled(); });
	ASSERT_TRUE(fWindow->Lock());
	BPoint where = fWindow->ConvertFromScreen(
		fWindow->List()->ConvertToScreen(fWindow->List()->ItemFrame(1).LeftTop() + BPoint(20, 5)));
	fWindow->Unlock();
	click(fWindow, where);
	EXPECT_TRUE(wait_until([&] { return Button("deinstall")->IsEnabled(); }));
	EXPECT_EQ(Rows(), (std::vector<std::string> { "a", "b (selected)" }));
}

TEST_F(DeinstallFilesWinTest, MovesFilesThenEmptiedFoldersIntoTheTrashAndKeepsTheRest)
{
	write_file(Trash() + "/tool", "the user's earlier tool");
	SetPaths({ "Editor/", "Editor/data/", "Editor/data/words", "Editor/notes", "tool" });
	fWindow->List()->Deselect(3);
	fWindow->DeinstallFiles();

	EXPECT_EQ(Rows(), (std::vector<std::string> { "Editor (selected)", "Editor/notes" }));
	EXPECT_TRUE(fWindow->IsHidden());
	EXPECT_TRUE(exists(fHome / "Editor/notes"));
	EXPECT_FALSE(exists(fHome / "Editor/data"));
	EXPECT_EQ(read_file(Trash() + "/words"), "Editor/data/words");
	EXPECT_EQ(read_file(Trash() + "/tool"), "the user's earlier tool");
	int records = 0;
	for (const fs::directory_entry& entry : fs::directory_iterator(Trash() + "/../info"))
		records += entry.path().extension() == ".trashinfo";
	EXPECT_EQ(records, 3);
	EXPECT_EQ(fReplaceQuestions, 0);
}

TEST_F(DeinstallFilesWinTest, CollisionsInAChosenFolderAreAskedOnceWithApplyToAll)
{
	struct Row {
		int32 button;
		std::vector<std::string> rowsAfter;
		const char* keptText;
	} rows[] = {
		{ 1, {}, "a" },
		{ 0, { "a (selected)", "b (selected)" }, "chosen/a" },
	};

	for (const Row& row : rows) {
		fs::path chosen = fHome / "chosen";
		fs::remove_all(chosen);
		fs::create_directories(chosen);
		write_file(chosen / "a", "chosen/a");
		write_file(chosen / "b", "chosen/b");
		SetPaths({ "a", "b" });
		ChooseFolder(chosen);
		EXPECT_EQ(fWindow->Destination(), chosen.c_str());
		fReplaceButton = row.button;
		fReplaceQuestions = 0;
		fWindow->DeinstallFiles();
		EXPECT_EQ(fReplaceQuestions, 1) << row.button;
		EXPECT_EQ(Rows(), row.rowsAfter) << row.button;
		EXPECT_EQ(read_file(chosen / "a"), row.keptText);
		EXPECT_EQ(exists(fHome / "a"), row.button == 0);
		fs::remove(fHome / "a");
		fs::remove(fHome / "b");
	}
}

TEST_F(DeinstallFilesWinTest, CutsTheTaggedSectionsAndLeavesAScriptWithAnEmptyTagAlone)
{
	fs::path boot = fHome / ".config/boot";
	fs::create_directories(boot);
	write_file(boot / "UserBootscript", "mine\n#BEGIN_Editor_Boot\nrun\n#END_Editor_Boot\n");
	write_file(boot / "UserSetupEnvironment", "#BEGIN_Editor_Env\nexport A=1\n#END_Editor_Env\n");
	write_file(
		fHome / ".profile", "#BEGIN_Editor_Profile\nalias e=editor\n#END_Editor_Profile\nx\n");
	SetPaths({ "tool" });
	fWindow->SetUserScripts("Editor_Boot", "", "Editor_Profile");
	fWindow->DeinstallFiles();
	EXPECT_EQ(read_file(boot / "UserBootscript"), "mine\n");
	EXPECT_EQ(read_file(fHome / ".profile"), "x\n");
	EXPECT_EQ(read_file(boot / "UserSetupEnvironment"),
		"#BEGIN_Editor_Env\nexport A=1\n#END_Editor_Env\n");
	EXPECT_FALSE(exists(boot / "UserSetupEnvironment.orig"));
}

TEST_F(DeinstallFilesWinTest, AFailedMoveKeepsItsRowSelectedWarnsOnceAndStaysOpen)
{
	fs::path gone = fHome / "gone";
	fs::create_directories(gone);
	ChooseFolder(gone);
	fs::remove(gone);
	SetPaths({ "a", "b" });
	fWindow->DeinstallFiles();
	EXPECT_EQ(Rows(), (std::vector<std::string> { "a (selected)", "b (selected)" }));
	EXPECT_EQ(fAlerts,
		std::vector<std::string> { "2 items could not be moved to " + gone.string()
			+ ". They stay in the list, selected." });
	EXPECT_FALSE(fWindow->IsHidden());
	EXPECT_TRUE(exists(fHome / "a"));
}

// Once the items are gone the window offers to put back what the installation saved:
// "Keep Saved" leaves it saved, "Put Back" moves it back and says so; with nothing saved, or
// after a removal that failed, nothing is asked.
TEST_F(DeinstallFilesWinTest, OffersToPutBackTheSavedEntriesOnceTheItemsAreGone)
{
	fs::path installation = fHome / "Installation";
	fs::create_directories(installation / "Saved Files");
	fs::create_directories(fHome / "Tools");
	write_file((fHome / "Tools/tool").string(), "the user's tool");
	ASSERT_TRUE(SaveReplacedEntry(
		(fHome / "Tools/tool").string(), (installation / "Saved Files").string(), nullptr));
	fWindow->SetInstallationFolder(installation.c_str());

	const std::string question =
		"1 item was replaced during installation and saved. Put it back where it was?";
	SetPaths({ "Tools/tool" });
	fWindow->DeinstallFiles();
	ASSERT_EQ(fAlerts, std::vector<std::string> { question });
	EXPECT_EQ(fButtons, (std::vector<std::string> { "Keep Saved", "Put Back" }));
	EXPECT_EQ(read_file((installation / "Saved Files/tool").string()), "the user's tool");
	EXPECT_FALSE(exists(fHome / "Tools/tool"));

	fAlerts.clear();
	fOtherButton = 1;
	SetPaths({ "Editor/", "Editor/notes" });
	fWindow->DeinstallFiles();
	EXPECT_EQ(
		fAlerts, (std::vector<std::string> { question, "1 item was put back where it was." }));
	EXPECT_EQ(read_file((fHome / "Tools/tool").string()), "the user's tool");
	EXPECT_FALSE(exists(installation / "Saved Files"));

	fAlerts.clear();
	SetPaths({ "Editor/" });
	fWindow->DeinstallFiles();
	EXPECT_TRUE(fAlerts.empty());
}
