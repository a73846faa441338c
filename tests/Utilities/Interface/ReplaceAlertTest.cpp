// The replace question: the existing item's kind and name in its sentence, the paths the
// policy is told, apply-to-all only where offered; on screen both items' details, the check
// box read after the dialog has gone, and the answers by shortcut.
#include "ReplaceAlert.h"

#include "BitmapView.h"
#include "LibAlert.h"
#include "LibAppResource.h"
#include "LibConvertBytes.h"
#include "LibEntry.h"
#include "LibLocaleDateTime.h"

#include <Button.h>
#include <CheckBox.h>
#include <OS.h>
#include <Path.h>
#include <StringView.h>
#include <TextView.h>

#include "TempDir.h"
#include "WidgetTestHelpers.h"

#include <QDir>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>

using namespace gui_test;

TEST(ReplaceAlertTest, ThePolicyHearsTheKindNameAndBothPaths)
{
	ScopedTempDir folder;
	std::filesystem::create_directory(folder.Path() / "Docs");
	std::ofstream(folder.Child("readme")) << "text";
	std::filesystem::create_symlink("readme", folder.Path() / "link");

	std::string text;
	std::string existingPath;
	bool offered = false;
	LibSetAlertPolicy([&](const LibAlertQuestion& question) {
		EXPECT_TRUE(question.isReplace);
		EXPECT_STREQ("ReplaceAlert", question.title);
		EXPECT_STREQ("Replace", question.buttons[1]);
		EXPECT_EQ(folder.Child("new"), question.incomingPath);
		text = question.text;
		existingPath = question.existingPath;
		offered = question.offersApplyToAll;
		return LibAlertAnswer { 1, true };
	});
	const std::pair<const char*, const char*> rows[] = { { "Docs", "folder" }, { "readme", "file" },
		{ "link", "symbolic link" } };
	const BPath incoming(folder.Child("new").c_str());
	for (const auto& [leaf, kind] : rows) {
		bool applyToAll = false;
		EXPECT_EQ(
			1, ReplaceAlert::Ask(incoming, BPath(folder.Child(leaf).c_str()), true, applyToAll));
		EXPECT_TRUE(applyToAll);
		EXPECT_EQ(std::string("The ") + kind + " '" + leaf
				+ "' already exists. Do you wish to replace existing",
			text);
		EXPECT_EQ(folder.Child(leaf), existingPath);
		EXPECT_TRUE(offered);
	}
	// Not offered, the policy's apply-to-all is not passed on.
	bool applyToAll = true;
	ReplaceAlert::Ask(incoming, BPath(folder.Child("Docs").c_str()), false, applyToAll);
	EXPECT_FALSE(offered);
	EXPECT_FALSE(applyToAll);
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
	EXPECT_STREQ("ReplaceAlert", alert->Title());
	EXPECT_EQ(B_WARNING_ALERT, alert->Type());
	EXPECT_STREQ("Don't Replace", alert->ButtonAt(0)->Label());
	EXPECT_STREQ("Replace", alert->ButtonAt(1)->Label());
	EXPECT_STREQ("The file 'Demo' already exists. Do you wish to replace existing",
		alert->TextView()->Text());

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
			click(alert, widget_test::in_window(box, BPoint(5, 7)));
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
