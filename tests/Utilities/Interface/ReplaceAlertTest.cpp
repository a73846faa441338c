// The replace question: the kind word and leaf name in its sentence, what the policy is told,
// apply-to-all only where it is offered, and the on-screen dialog answered by its shortcuts.
#include "ReplaceAlert.h"

#include "LibAlert.h"

#include <Application.h>
#include <Button.h>
#include <Path.h>
#include <TextView.h>

#include "GuiTestSupport.h"
#include "TempDir.h"

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

struct AskState {
	std::string incoming;
	std::string existing;
	std::atomic<int32> answer { -100 };
	std::atomic<bool> applyToAll { true };
};

int32
run_ask(void* data)
{
	AskState* state = static_cast<AskState*>(data);
	bool applyToAll = true;
	state->answer = ReplaceAlert::Ask(
		BPath(state->incoming.c_str()), BPath(state->existing.c_str()), true, applyToAll);
	state->applyToAll = applyToAll;
	return 0;
}

} // namespace

TEST(ReplaceAlertTest, OnScreenTheShortcutsAnswerReplaceOrNot)
{
	ScopedTempDir folder;
	std::ofstream(folder.Child("Demo")) << "old";
	BApplication application("application/x-vnd.test-replace-alert");

	struct Row {
		Qt::Key key;
		const char* text;
		int32 answer;
	};

	const Row rows[] = {
		{ Qt::Key_R, "r", 1 },
		{ Qt::Key_D, "D", 0 },
	};
	for (const Row& row : rows) {
		AskState state;
		state.incoming = folder.Child("new/Demo");
		state.existing = folder.Child("Demo");
		thread_id worker = spawn_thread(run_ask, "install", B_NORMAL_PRIORITY, &state);
		resume_thread(worker);
		BAlert* alert = NULL;
		ASSERT_TRUE(wait_until([&] {
			alert = application.CountWindows() > 0 ? dynamic_cast<BAlert*>(application.WindowAt(0))
												   : NULL;
			return alert != NULL && !alert->IsHidden() && widget_of(alert) != nullptr;
		}));
		EXPECT_STREQ("ReplaceAlert", alert->Title());
		EXPECT_EQ(B_WARNING_ALERT, alert->Type());
		EXPECT_STREQ("The file 'Demo' already exists. Do you wish to replace existing",
			alert->TextView()->Text());
		EXPECT_STREQ("Don't Replace", alert->ButtonAt(0)->Label());
		EXPECT_STREQ("Replace", alert->ButtonAt(1)->Label());

		send_key(alert, row.key, Qt::NoModifier, row.text);
		ASSERT_TRUE(wait_until([&] { return state.answer.load() != -100; }));
		EXPECT_EQ(row.answer, state.answer.load()) << row.text;
		EXPECT_FALSE(state.applyToAll.load());
		status_t result;
		wait_for_thread(worker, &result);
		ASSERT_TRUE(wait_until([&] { return application.CountWindows() == 0; }));
	}
}
