// The replace question: the kind word and leaf name in its sentence, what the policy is told,
// apply-to-all only where it is offered, and the on-screen dialog: both items' details, the
// check box read after the dialog has gone, and the answers by shortcut.
#include "ReplaceAlert.h"

#include "BitmapView.h"
#include "LibAlert.h"
#include "LibAppResource.h"
#include "LibBitmap.h"
#include "LibConvertBytes.h"
#include "LibEntry.h"
#include "LibLocaleDateTime.h"

#include <Application.h>
#include <Button.h>
#include <CheckBox.h>
#include <Message.h>
#include <Path.h>
#include <StringView.h>
#include <TextView.h>

#include "GuiTestSupport.h"
#include "TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

using namespace gui_test;

namespace {

struct SeenReplace {
	std::string title;
	std::string text;
	std::string existing;
	std::string incoming;
	int32 buttonCount = 0;
	std::string buttons[2];
	bool offersApplyToAll = false;
	bool isReplace = false;
};

} // namespace

TEST(ReplaceAlertTest, ThePolicyIsToldBothPathsAndTheExistingItemsKind)
{
	ScopedTempDir folder;
	std::filesystem::create_directory(folder.Path() / "Docs");
	std::ofstream(folder.Child("readme")) << "text";
	std::filesystem::create_symlink("readme", folder.Path() / "link");
	std::ofstream(folder.Child("incoming")) << "new";

	struct Row {
		const char* leaf;
		const char* text;
	};

	const Row rows[] = {
		{ "Docs", "The folder 'Docs' already exists. Do you wish to replace existing" },
		{ "readme", "The file 'readme' already exists. Do you wish to replace existing" },
		{ "link", "The symbolic link 'link' already exists. Do you wish to replace existing" },
	};

	SeenReplace seen;
	LibSetAlertPolicy([&](const LibAlertQuestion& question) {
		seen.title = question.title;
		seen.text = question.text;
		seen.existing = question.existingPath;
		seen.incoming = question.incomingPath;
		seen.buttonCount = question.buttonCount;
		seen.buttons[0] = question.buttons[0];
		seen.buttons[1] = question.buttons[1];
		seen.offersApplyToAll = question.offersApplyToAll;
		seen.isReplace = question.isReplace;
		return LibAlertAnswer { 1, true };
	});
	BPath incoming(folder.Child("incoming").c_str());
	for (const Row& row : rows) {
		BPath existing(folder.Child(row.leaf).c_str());
		bool applyToAll = false;
		EXPECT_EQ(1, ReplaceAlert::Ask(incoming, existing, true, applyToAll));
		EXPECT_TRUE(applyToAll);
		EXPECT_EQ(row.text, seen.text);
		EXPECT_EQ("ReplaceAlert", seen.title);
		EXPECT_EQ(existing.Path(), seen.existing);
		EXPECT_EQ(incoming.Path(), seen.incoming);
		EXPECT_EQ(2, seen.buttonCount);
		EXPECT_EQ("Don't Replace", seen.buttons[0]);
		EXPECT_EQ("Replace", seen.buttons[1]);
		EXPECT_TRUE(seen.offersApplyToAll);
		EXPECT_TRUE(seen.isReplace);
	}

	// Not offered: the policy's apply-to-all is not passed on.
	bool applyToAll = true;
	EXPECT_EQ(
		1, ReplaceAlert::Ask(incoming, BPath(folder.Child("Docs").c_str()), false, applyToAll));
	EXPECT_FALSE(seen.offersApplyToAll);
	EXPECT_FALSE(applyToAll);
	LibSetAlertPolicy(nullptr);
}

TEST(ReplaceAlertTest, ThePolicyCannotAnswerAnythingButTheTwoButtons)
{
	ScopedTempDir folder;
	std::ofstream(folder.Child("a")) << "a";
	const int32 answers[] = { -1, 2, 9 };
	for (int32 button : answers) {
		LibSetAlertPolicy([&](const LibAlertQuestion&) {
			return LibAlertAnswer { button, false };
		});
		bool applyToAll = true;
		EXPECT_EQ(0,
			ReplaceAlert::Ask(BPath(folder.Child("b").c_str()), BPath(folder.Child("a").c_str()),
				true, applyToAll))
			<< button;
		EXPECT_FALSE(applyToAll);
	}
	LibSetAlertPolicy(nullptr);
}

namespace {

namespace fs = std::filesystem;

struct AskState {
	std::string incoming;
	std::string existing;
	bool offer = true;
	std::atomic<int32> answer { -100 };
	std::atomic<bool> applyToAll { true };
};

int32
run_ask(void* data)
{
	AskState* state = static_cast<AskState*>(data);
	bool applyToAll = true;
	state->answer = ReplaceAlert::Ask(
		BPath(state->incoming.c_str()), BPath(state->existing.c_str()), state->offer, applyToAll);
	state->applyToAll = applyToAll;
	return 0;
}

// The text of a string view of the dialog, or a note that it is missing.
std::string
view_text(BWindow* window, const char* name)
{
	BStringView* view = dynamic_cast<BStringView*>(window->FindView(name));
	return view != NULL ? view->Text() : std::string("<no view ") + name + ">";
}

// The middle of a view in its window's coordinates.
BPoint
middle_in_window(BView* view)
{
	BRect frame = view->Bounds();
	view->ConvertToScreen(&frame);
	BPoint middle((frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2);
	return middle - view->Window()->Frame().LeftTop();
}

// A program of our own: a copy of a small system executable with a version record.
std::string
make_program(const ScopedTempDir& folder, const char* name)
{
	const std::string path = folder.Child(name);
	fs::copy_file("/bin/true", path);
	fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
	LibSetAppVersion(1, 2, 0, "Demo", "Demo program", 5, 0, path.c_str());
	return path;
}

// Starts Ask() on a worker thread and waits for its dialog to come up.
class ShownDialog {
public:
	ShownDialog(BApplication& application, AskState& state) :
		fState(state)
	{
		fWorker = spawn_thread(run_ask, "install", B_NORMAL_PRIORITY, &state);
		resume_thread(fWorker);
		wait_until([&] {
			fAlert = application.CountWindows() > 0
				? dynamic_cast<ReplaceAlert*>(application.WindowAt(0))
				: NULL;
			return fAlert != NULL && !fAlert->IsHidden() && widget_of(fAlert) != nullptr;
		});
	}

	~ShownDialog()
	{
		if (fAlert != NULL && fState.answer.load() == -100)
			Answer(Qt::Key_D, "d");
		// The worker has its answer; joining it cannot wait on the event loop.
		status_t result;
		wait_for_thread(fWorker, &result);
		wait_until([&] { return be_app->CountWindows() == 0; });
	}

	ReplaceAlert* Alert() const { return fAlert; }

	// Presses the key and waits for the worker's answer.
	void Answer(Qt::Key key, const char* text)
	{
		send_key(fAlert, key, Qt::NoModifier, text);
		wait_until([&] { return fState.answer.load() != -100; });
		fAlert = NULL;
	}

private:
	AskState& fState;
	thread_id fWorker;
	ReplaceAlert* fAlert = NULL;
};

class ReplaceAlertDialogTest : public testing::Test {
protected:
	BApplication fApplication { "application/x-vnd.test-replace-alert" };
	ScopedTempDir fFolder;
};

} // namespace

TEST_F(ReplaceAlertDialogTest, TheSentenceNamesTheExistingItemsKindAndLeaf)
{
	fs::create_directories(fFolder.Path() / "old/Docs");
	std::ofstream(fFolder.Child("old/readme")) << "text";
	fs::create_symlink("readme", fFolder.Path() / "old/link");
	fs::create_directories(fFolder.Path() / "new");
	std::ofstream(fFolder.Child("new/item")) << "new";

	struct Row {
		const char* leaf;
		const char* text;
		const char* kind;
	};

	const Row rows[] = {
		{ "Docs", "The folder 'Docs' already exists. Do you wish to replace existing", "Folder" },
		{ "readme", "The file 'readme' already exists. Do you wish to replace existing",
			"Unknown" },
		{ "link", "The symbolic link 'link' already exists. Do you wish to replace existing",
			"Symbolic Link" },
	};
	for (const Row& row : rows) {
		AskState state;
		state.incoming = fFolder.Child("new/item");
		state.existing = fFolder.Child(std::string("old/") + row.leaf);
		ShownDialog dialog(fApplication, state);
		ReplaceAlert* alert = dialog.Alert();
		ASSERT_NE(alert, nullptr);
		EXPECT_STREQ("ReplaceAlert", alert->Title());
		EXPECT_EQ(B_WARNING_ALERT, alert->Type());
		EXPECT_EQ(row.text, std::string(alert->TextView()->Text()));
		EXPECT_EQ(row.kind, view_text(alert, "to_kind")) << row.leaf;
		EXPECT_EQ("Unknown", view_text(alert, "from_kind")) << row.leaf;
		EXPECT_EQ('d', alert->Shortcut(0));
		EXPECT_EQ('r', alert->Shortcut(1));
	}
}

TEST_F(ReplaceAlertDialogTest, BothBlocksDescribeAProgramAndADocument)
{
	fs::create_directories(fFolder.Path() / "Applications");
	fs::create_directories(fFolder.Path() / "extracted");
	const std::string document = fFolder.Child("Applications/Demo");
	std::ofstream(document) << std::string(3000, 'x');
	const std::string program = make_program(fFolder, "extracted/Demo");

	AskState state;
	state.incoming = program;
	state.existing = document;
	ShownDialog dialog(fApplication, state);
	ReplaceAlert* alert = dialog.Alert();
	ASSERT_NE(alert, nullptr);

	LibLocaleDateTime dateFormat;
	dateFormat.SetFormat("W, M D Y");
	dateFormat.SetSeperator(", ");
	dateFormat.SetShowSeconds(true);
	auto size_text = [](const std::string& path) {
		LibString text;
		return std::string(LibConvertBytes(LibEntrySize(path.c_str(), true), text, 1));
	};

	struct Row {
		const char* view;
		std::string expected;
	};

	const Row rows[] = {
		{ "to_creation", (const char*)dateFormat.Format(LibCreationDate(document.c_str(), true)) },
		{ "to_modified",
			(const char*)dateFormat.Format(LibLastModifiedDate(document.c_str(), true)) },
		{ "to_size", "2.9 KB" },
		{ "to_kind", "Unknown" },
		{ "to_path", fFolder.Child("Applications") },
		{ "to_version", "" },
		{ "from_modified",
			(const char*)dateFormat.Format(LibLastModifiedDate(program.c_str(), true)) },
		{ "from_size", size_text(program) },
		{ "from_kind", "Be Application" },
		{ "from_path", fFolder.Child("extracted") },
		{ "from_version", "1.2.0" },
		{ "to_creation_label", "Created :" },
		{ "to_modified_label", "Modified :" },
		{ "from_size_label", "Size :" },
		{ "from_kind_label", "Kind :" },
		{ "from_path_label", "Path :" },
		{ "from_version_label", "Version :" },
		{ "with", "With" },
	};
	for (const Row& row : rows) {
		std::string shown = view_text(alert, row.view);
		// A long folder keeps its end, where the item's own folder is named.
		if (shown.rfind("\xE2\x80\xA6", 0) == 0)
			EXPECT_TRUE(row.expected.ends_with(shown.substr(3))) << row.view << ": " << shown;
		else
			EXPECT_EQ(row.expected, shown) << row.view;
	}
	// Dates read like "Mon, Dec 7 2026, 3:04:05 PM".
	EXPECT_NE(std::string::npos, view_text(alert, "to_creation").find(", "));
	const std::string modifiedText = view_text(alert, "to_modified");
	EXPECT_EQ(2, std::count(modifiedText.begin(), modifiedText.end(), ':'));

	// The labels are small and red; the rows stack 15 pixels apart, the icons beside them.
	BStringView* label = dynamic_cast<BStringView*>(alert->FindView("to_size_label"));
	ASSERT_NE(label, nullptr);
	EXPECT_EQ(make_color(255, 0, 0), label->HighColor());
	BFont font;
	label->GetFont(&font);
	EXPECT_EQ(10, font.Size());
	BView* created = alert->FindView("to_creation");
	BView* modified = alert->FindView("to_modified");
	ASSERT_NE(created, nullptr);
	ASSERT_NE(modified, nullptr);
	EXPECT_EQ(created->Frame().top + 15, modified->Frame().top);
	EXPECT_EQ(90, created->Frame().left);
	EXPECT_EQ(40, label->Frame().left);
	BitmapView* toImage = dynamic_cast<BitmapView*>(alert->FindView("to_image"));
	BitmapView* fromImage = dynamic_cast<BitmapView*>(alert->FindView("from_image"));
	ASSERT_NE(toImage, nullptr);
	ASSERT_NE(fromImage, nullptr);
	EXPECT_EQ(created->Frame().top + 30, toImage->Frame().top);
	EXPECT_EQ(BRect(0, 0, 31, 31), toImage->Bounds());
	EXPECT_NE(toImage->Icon(), nullptr);
	EXPECT_NE(fromImage->Icon(), nullptr);
	BView* with = alert->FindView("with");
	ASSERT_NE(with, nullptr);
	EXPECT_EQ(with->Frame().bottom + 30, fromImage->Frame().top);
	EXPECT_LT(alert->FindView("to_version")->Frame().bottom, with->Frame().bottom);
	EXPECT_LE(with->Frame().bottom, alert->FindView("from_creation")->Frame().top);
}

TEST_F(ReplaceAlertDialogTest, WithoutTheOfferThereIsNoCheckBoxAndNothingAppliesToAll)
{
	std::ofstream(fFolder.Child("a")) << "a";
	std::ofstream(fFolder.Child("b")) << "b";
	float heights[2] = {};
	for (bool offer : { false, true }) {
		AskState state;
		state.offer = offer;
		state.incoming = fFolder.Child("b");
		state.existing = fFolder.Child("a");
		ShownDialog dialog(fApplication, state);
		ReplaceAlert* alert = dialog.Alert();
		ASSERT_NE(alert, nullptr);
		heights[offer ? 1 : 0] = alert->Bounds().Height();
		EXPECT_EQ(offer, alert->FindView("future_collisions") != NULL);
		// A stray message 1000 ticks nothing that is not there.
		if (!offer) {
			BMessage changed(1000);
			alert->PostMessage(&changed);
		}
		dialog.Answer(Qt::Key_R, "r");
		EXPECT_EQ(1, state.answer.load());
		EXPECT_FALSE(state.applyToAll.load());
	}
	// The check box takes 20 more pixels.
	EXPECT_EQ(heights[0] + 20, heights[1]);
}

TEST_F(ReplaceAlertDialogTest, TheCheckBoxIsReadAfterTheDialogHasGoneOnAWorkerThread)
{
	std::ofstream(fFolder.Child("Demo")) << "old";
	fs::create_directories(fFolder.Path() / "new");
	std::ofstream(fFolder.Child("new/Demo")) << "new";

	struct Row {
		int32 clicks;
		Qt::Key key;
		const char* text;
		int32 answer;
		bool applyToAll;
	};

	const Row rows[] = {
		{ 1, Qt::Key_R, "r", 1, true },
		{ 1, Qt::Key_D, "d", 0, true },
		{ 2, Qt::Key_R, "r", 1, false },
		{ 0, Qt::Key_D, "D", 0, false },
	};
	for (const Row& row : rows) {
		AskState state;
		state.incoming = fFolder.Child("new/Demo");
		state.existing = fFolder.Child("Demo");
		ShownDialog dialog(fApplication, state);
		ReplaceAlert* alert = dialog.Alert();
		ASSERT_NE(alert, nullptr);
		BCheckBox* box = dynamic_cast<BCheckBox*>(alert->FindView("future_collisions"));
		ASSERT_NE(box, nullptr);
		EXPECT_STREQ("Apply to all future collisions", box->Label());
		EXPECT_FALSE(alert->FutureCollisions());
		for (int32 i = 0; i < row.clicks; i++) {
			click(alert, middle_in_window(box));
			const bool ticked = i % 2 == 0;
			ASSERT_TRUE(wait_until([&] { return alert->FutureCollisions() == ticked; }));
		}
		dialog.Answer(row.key, row.text);
		EXPECT_EQ(row.answer, state.answer.load()) << row.text << " " << row.clicks;
		EXPECT_EQ(row.applyToAll, state.applyToAll.load()) << row.text << " " << row.clicks;
	}
}

TEST_F(ReplaceAlertDialogTest, ScreenshotWithTheCheckBox)
{
	fs::create_directories(fFolder.Path() / "Applications");
	fs::create_directories(fFolder.Path() / "extracted");
	const std::string program = make_program(fFolder, "extracted/Demo");
	fs::copy_file(program, fFolder.Child("Applications/Demo"));

	AskState state;
	state.incoming = program;
	state.existing = fFolder.Child("Applications/Demo");
	ShownDialog dialog(fApplication, state);
	ReplaceAlert* alert = dialog.Alert();
	ASSERT_NE(alert, nullptr);
	BCheckBox* box = dynamic_cast<BCheckBox*>(alert->FindView("future_collisions"));
	ASSERT_NE(box, nullptr);
	click(alert, middle_in_window(box));
	ASSERT_TRUE(wait_until([&] { return alert->FutureCollisions(); }));

	// Every detail lies inside the window, above the buttons.
	BRect buttons = alert->ButtonAt(0)->Frame();
	for (const char* name : { "from_version", "future_collisions", "from_image" }) {
		BView* view = alert->FindView(name);
		ASSERT_NE(view, nullptr);
		BRect frame = view->Bounds();
		view->ConvertToScreen(&frame);
		frame.OffsetBy(-alert->Frame().LeftTop());
		EXPECT_LT(frame.bottom, buttons.top) << name;
		EXPECT_LE(frame.right, alert->Bounds().right) << name;
	}

	QImage image = grab(alert);
	EXPECT_EQ(alert->Bounds().IntegerWidth() + 1, image.width());
	QDir().mkpath(BEINSTALLER_ARTIFACT_DIR);
	EXPECT_TRUE(image.save(QString(BEINSTALLER_ARTIFACT_DIR) + "/replace-alert.png"));
	dialog.Answer(Qt::Key_R, "r");
	EXPECT_TRUE(state.applyToAll.load());
}
