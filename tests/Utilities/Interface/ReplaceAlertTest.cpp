// The replace question: the existing item's kind and name in its sentence, the paths the
// policy is told, apply-to-all only where offered, and the dialog's shortcuts on screen.
#include "ReplaceAlert.h"

#include "LibAlert.h"

#include <Button.h>
#include <OS.h>
#include <TextView.h>

#include "TempDir.h"
#include "WidgetTestHelpers.h"

#include <atomic>
#include <filesystem>
#include <fstream>

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

struct AskState {
	std::string existing;
	std::atomic<int32> answer { -100 };
};

int32
run_ask(void* data)
{
	AskState* state = static_cast<AskState*>(data);
	bool applyToAll = true;
	state->answer =
		ReplaceAlert::Ask(BPath("/nowhere/Demo"), BPath(state->existing.c_str()), true, applyToAll);
	return applyToAll ? 1 : 0;
}

} // namespace

TEST(ReplaceAlertTest, OnScreenRAnswersReplaceAndDDoesNot)
{
	ScopedTempDir folder;
	std::ofstream(folder.Child("Demo")) << "old";
	BApplication application("application/x-vnd.test-replace-alert");
	const std::pair<Qt::Key, int32> rows[] = { { Qt::Key_R, 1 }, { Qt::Key_D, 0 } };
	for (const auto& [key, answer] : rows) {
		AskState state;
		state.existing = folder.Child("Demo");
		thread_id worker = spawn_thread(run_ask, "install", B_NORMAL_PRIORITY, &state);
		resume_thread(worker);
		BAlert* alert = NULL;
		ASSERT_TRUE(wait_until([&] {
			alert = application.CountWindows() > 0 ? dynamic_cast<BAlert*>(application.WindowAt(0))
												   : NULL;
			return alert != NULL && widget_of(alert) != nullptr && !alert->IsHidden();
		}));
		EXPECT_STREQ("ReplaceAlert", alert->Title());
		EXPECT_EQ(B_WARNING_ALERT, alert->Type());
		EXPECT_STREQ("The file 'Demo' already exists. Do you wish to replace existing",
			alert->TextView()->Text());
		EXPECT_STREQ("Don't Replace", alert->ButtonAt(0)->Label());

		send_key(alert, key, Qt::NoModifier, QString(QChar(key).toLower()));
		ASSERT_TRUE(wait_until([&] { return state.answer.load() != -100; }));
		EXPECT_EQ(answer, state.answer.load());
		status_t applyToAll = -1;
		wait_for_thread(worker, &applyToAll);
		EXPECT_EQ(0, applyToAll);
		ASSERT_TRUE(wait_until([&] { return application.CountWindows() == 0; }));
	}
}
