// The replace question: the kind word and leaf name in its sentence, what the policy is told,
// apply-to-all only where it is offered, and the on-screen dialog: both items' details, the
// check box read after the dialog has gone, and the answers by shortcut.
#include "ReplaceAlert.h"

#include "BitmapView.h"
#include "LibAlert.h"
#include "LibAppResource.h"
#include "LibConvertBytes.h"
#include "LibEntry.h"
#include "LibLocaleDateTime.h"

#include <Application.h>
#include <Button.h>
#include <CheckBox.h>
#include <Path.h>
#include <StringView.h>
#include <TextView.h>

#include "GuiTestSupport.h"
#include "TempDir.h"

#include <QDir>

#include <gtest/gtest.h>

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

std::string
view_text(BWindow* window, const char* name)
{
	BStringView* view = dynamic_cast<BStringView*>(window->FindView(name));
	return view != NULL ? view->Text() : std::string("<no view ") + name + ">";
}

// Asks on a worker thread, as the install engine does, and waits for the dialog to come up.
class ReplaceAlertDialogTest : public testing::Test {
protected:
	ReplaceAlert* Show(AskState& state)
	{
		fState = &state;
		fWorker = spawn_thread(run_ask, "install", B_NORMAL_PRIORITY, &state);
		resume_thread(fWorker);
		ReplaceAlert* alert = NULL;
		wait_until([&] {
			alert = fApplication.CountWindows() > 0
				? dynamic_cast<ReplaceAlert*>(fApplication.WindowAt(0))
				: NULL;
			return alert != NULL && !alert->IsHidden() && widget_of(alert) != nullptr;
		});
		return alert;
	}

	// Presses the key, waits for the worker's answer and for the dialog to go.
	void Answer(ReplaceAlert* alert, Qt::Key key, const char* text)
	{
		send_key(alert, key, Qt::NoModifier, text);
		wait_until([&] { return fState->answer.load() != -100; });
		status_t result;
		wait_for_thread(fWorker, &result);
		wait_until([&] { return fApplication.CountWindows() == 0; });
	}

	// A copy of a small system executable with a version record.
	std::string MakeProgram(const char* name)
	{
		const std::string path = fFolder.Child(name);
		fs::copy_file("/bin/true", path);
		fs::permissions(path, fs::perms::owner_all);
		LibSetAppVersion(1, 2, 0, "Demo", "Demo program", 5, 0, path.c_str());
		return path;
	}

	BApplication fApplication { "application/x-vnd.test-replace-alert" };
	ScopedTempDir fFolder;
	AskState* fState = nullptr;
	thread_id fWorker = -1;
};

} // namespace

TEST_F(ReplaceAlertDialogTest, BothBlocksDescribeAProgramAndADocument)
{
	fs::create_directories(fFolder.Path() / "Applications");
	fs::create_directories(fFolder.Path() / "extracted/Docs");
	const std::string document = fFolder.Child("Applications/Demo");
	std::ofstream(document) << std::string(3000, 'x');

	AskState state;
	state.incoming = MakeProgram("extracted/Demo");
	state.existing = document;
	ReplaceAlert* alert = Show(state);
	ASSERT_NE(alert, nullptr);
	EXPECT_EQ("The file 'Demo' already exists. Do you wish to replace existing",
		std::string(alert->TextView()->Text()));

	LibLocaleDateTime dates;
	dates.SetFormat("W, M D Y");
	dates.SetSeperator(", ");
	dates.SetShowSeconds(true);
	LibString size;
	LibConvertBytes(LibEntrySize(state.incoming.c_str(), true), size, 1);
	const std::pair<const char*, std::string> rows[] = {
		{ "to_creation", (const char*)dates.Format(LibCreationDate(document.c_str(), true)) },
		{ "to_modified", (const char*)dates.Format(LibLastModifiedDate(document.c_str(), true)) },
		{ "to_size", "2.9 KB" },
		{ "to_kind", "Unknown" },
		{ "to_version", "" },
		{ "from_size", (const char*)size },
		{ "from_kind", "Be Application" },
		{ "from_version", "1.2.0" },
		{ "to_modified_label", "Modified :" },
		{ "from_version_label", "Version :" },
		{ "with", "With" },
	};
	for (const auto& [view, expected] : rows)
		EXPECT_EQ(expected, view_text(alert, view)) << view;
	// The folders keep their ends when they are too long for the row.
	EXPECT_TRUE(fFolder.Child("extracted").ends_with(view_text(alert, "from_path").substr(3)));

	BStringView* label = dynamic_cast<BStringView*>(alert->FindView("to_size_label"));
	ASSERT_NE(label, nullptr);
	EXPECT_EQ(make_color(255, 0, 0), label->HighColor());
	BitmapView* icon = dynamic_cast<BitmapView*>(alert->FindView("from_image"));
	ASSERT_NE(icon, nullptr);
	EXPECT_NE(icon->Icon(), nullptr);
	EXPECT_EQ(alert->FindView("with")->Frame().bottom + 30, icon->Frame().top);
	Answer(alert, Qt::Key_D, "d");
}

TEST_F(ReplaceAlertDialogTest, TheCheckBoxIsReadAfterTheDialogHasGone)
{
	std::ofstream(fFolder.Child("Demo")) << "old";
	fs::create_directories(fFolder.Path() / "new/Demo");

	struct Row {
		bool offer;
		int32 clicks;
		Qt::Key key;
		const char* text;
		int32 answer;
		bool applyToAll;
	};

	const Row rows[] = {
		{ true, 1, Qt::Key_R, "r", 1, true },
		{ true, 1, Qt::Key_D, "d", 0, true },
		{ true, 2, Qt::Key_R, "R", 1, false },
		{ false, 0, Qt::Key_R, "r", 1, false },
	};
	float heights[2] = {};
	for (const Row& row : rows) {
		AskState state;
		state.offer = row.offer;
		state.incoming = fFolder.Child("new/Demo");
		state.existing = fFolder.Child("Demo");
		ReplaceAlert* alert = Show(state);
		ASSERT_NE(alert, nullptr);
		heights[row.offer ? 1 : 0] = alert->Bounds().Height();
		BCheckBox* box = dynamic_cast<BCheckBox*>(alert->FindView("future_collisions"));
		ASSERT_EQ(row.offer, box != NULL);
		for (int32 i = 0; i < row.clicks; i++) {
			BRect frame = box->Bounds();
			box->ConvertToScreen(&frame);
			click(alert, BPoint(frame.left + 5, frame.top + 7) - alert->Frame().LeftTop());
			ASSERT_TRUE(wait_until([&] { return alert->FutureCollisions() == (i % 2 == 0); }));
		}
		Answer(alert, row.key, row.text);
		EXPECT_EQ(row.answer, state.answer.load()) << row.text << row.clicks;
		EXPECT_EQ(row.applyToAll, state.applyToAll.load()) << row.text << row.clicks;
	}
	// The check box takes 20 more pixels.
	EXPECT_EQ(heights[0] + 20, heights[1]);
}

TEST_F(ReplaceAlertDialogTest, ScreenshotWithTheCheckBox)
{
	fs::create_directories(fFolder.Path() / "Applications");
	AskState state;
	state.incoming = MakeProgram("Demo");
	state.existing = fFolder.Child("Applications/Demo");
	fs::copy_file(state.incoming, state.existing);
	ReplaceAlert* alert = Show(state);
	ASSERT_NE(alert, nullptr);

	// Every detail lies inside the window, above the buttons.
	const BRect buttons = alert->ButtonAt(0)->Frame();
	for (const char* name : { "from_version", "future_collisions", "from_image" }) {
		BRect frame = alert->FindView(name)->Bounds();
		alert->FindView(name)->ConvertToScreen(&frame);
		frame.OffsetBy(-alert->Frame().LeftTop());
		EXPECT_LT(frame.bottom, buttons.top) << name;
		EXPECT_LE(frame.right, alert->Bounds().right) << name;
	}
	QImage image = grab(alert);
	QDir().mkpath(BEINSTALLER_ARTIFACT_DIR);
	EXPECT_TRUE(image.save(QString(BEINSTALLER_ARTIFACT_DIR) + "/replace-alert.png"));
	Answer(alert, Qt::Key_R, "r");
}
