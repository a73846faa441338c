// The alert functions: what each one asks, the 512-byte limit that never cuts a UTF-8
// character, the policy's answers kept within the buttons, no hang without an application,
// and each alert of a worker waiting while a window keeps working.
#include "LibAlert.h"

#include <Button.h>
#include <OS.h>
#include <TextView.h>

#include "WidgetTestHelpers.h"

#include <atomic>
#include <string>
#include <vector>

using namespace gui_test;

namespace {

struct Seen {
	alert_type type;
	std::string title;
	std::string text;
	std::vector<std::string> buttons;
	bool waits;
};

// Sets a policy that records each question and answers with answer.
std::vector<Seen>*
record_questions(LibAlertAnswer answer)
{
	static std::vector<Seen> seen;
	seen.clear();
	LibSetAlertPolicy([answer](const LibAlertQuestion& question) {
		Seen entry { question.type, question.title, question.text, {}, question.waits };
		for (int32 i = 0; i < question.buttonCount; i++)
			entry.buttons.push_back(question.buttons[i]);
		seen.push_back(entry);
		return answer;
	});
	return &seen;
}

} // namespace

TEST(LibAlertTest, EachFunctionAsksItsKindWithTheFormattedText)
{
	std::vector<Seen>* seen = record_questions({ 0, false });
	LibError("Could not create %s (%d)", "/boot/apps/Demo", -1);
	LibWarning("Only %d MB free", 12);
	LibInfo("%s", "Done");
	LibInfoNoWait("100%% read");
	LibAsk("Requirements", "50% free", "Go Back", NULL, "Never shown", B_WIDTH_FROM_WIDEST,
		B_WARNING_ALERT);
	LibSetAlertPolicy(nullptr);

	const std::vector<std::string> ok = { "OK" };
	const Seen expected[] = {
		{ B_STOP_ALERT, "", "Could not create /boot/apps/Demo (-1)", ok, true },
		{ B_WARNING_ALERT, "", "Only 12 MB free", ok, true },
		{ B_INFO_ALERT, "", "Done", ok, true },
		{ B_INFO_ALERT, "", "100% read", ok, false },
		// The question's text is not a format; a missing second button ends the row.
		{ B_WARNING_ALERT, "Requirements", "50% free", { "Go Back" }, true },
	};
	ASSERT_EQ(5u, seen->size());
	for (size_t i = 0; i < 5; i++) {
		EXPECT_EQ(expected[i].type, (*seen)[i].type) << i;
		EXPECT_EQ(expected[i].title, (*seen)[i].title) << i;
		EXPECT_EQ(expected[i].text, (*seen)[i].text) << i;
		EXPECT_EQ(expected[i].buttons, (*seen)[i].buttons) << i;
		EXPECT_EQ(expected[i].waits, (*seen)[i].waits) << i;
	}
}

TEST(LibAlertTest, LongTextsStopAt511BytesOnACharacterBoundary)
{
	const std::pair<std::string, size_t> rows[] = {
		{ std::string(511, 'a'), 511 },
		{ std::string(2000, 'a'), 511 },
		{ std::string(510, 'a') + "\xC3\xA9tail", 510 },
		{ std::string(509, 'a') + "\xE2\x82\xAC" + "tail", 509 },
		{ std::string(508, 'a') + "\xE2\x82\xAC" + "tail", 511 },
		{ std::string(508, 'a') + "\xF0\x9F\x98\x80", 508 },
	};
	std::vector<Seen>* seen = record_questions({ 0, false });
	for (const auto& [text, kept] : rows)
		LibError("%s", text.c_str());
	LibSetAlertPolicy(nullptr);
	for (size_t i = 0; i < std::size(rows); i++)
		EXPECT_EQ(rows[i].first.substr(0, rows[i].second), (*seen)[i].text) << i;
}

TEST(LibAlertTest, AnswersOutsideTheButtonsAreTheFirstAndWithoutAnApplicationNobodyAnswers)
{
	for (int32 button : { -1, 3, 7 }) {
		record_questions({ button, true });
		EXPECT_EQ(0, LibAsk("", "Restart now?", "Later", "Restart", "Cancel")) << button;
	}
	record_questions({ 2, true });
	EXPECT_EQ(2, LibAsk("", "Restart now?", "Later", "Restart", "Cancel"));

	// On screen without an application the alert could never be answered: the text goes
	// to standard error instead of hanging the caller.
	LibSetAlertPolicy(nullptr);
	ASSERT_EQ(nullptr, be_app);
	testing::internal::CaptureStderr();
	EXPECT_EQ(-1, LibError("No %s here", "screen"));
	EXPECT_EQ("No screen here\n", testing::internal::GetCapturedStderr());
}

namespace {

struct WorkerAlert {
	int32 (*ask)();
	alert_type type;
	const char* text;
	int32 buttons;
	std::atomic<int32> answer { -100 };
};

int32
run_alert(void* data)
{
	WorkerAlert* alert = static_cast<WorkerAlert*>(data);
	alert->answer = alert->ask();
	return 0;
}

} // namespace

class LibAlertScreenTest : public widget_test::WindowTest { };

TEST_F(LibAlertScreenTest, EachAlertOfAWorkerWaitsWhileTheWindowWorks)
{
	Open({ 'tick' });
	ShowWindow();
	WorkerAlert rows[] = {
		{ [] { return LibError("Could not write %s", "Log"); }, B_STOP_ALERT, "Could not write Log",
			1 },
		{ [] { return LibWarning("%d MB free", 3); }, B_WARNING_ALERT, "3 MB free", 1 },
		{ [] { return LibInfo("Done"); }, B_INFO_ALERT, "Done", 1 },
		{ [] { return LibAsk("", "Start Demo?", "No", "Yes"); }, B_INFO_ALERT, "Start Demo?", 2 },
	};
	auto shown_alert = [&]() -> BAlert* {
		for (int32 i = 0; i < fApplication->CountWindows(); i++) {
			BAlert* alert = dynamic_cast<BAlert*>(fApplication->WindowAt(i));
			if (alert != NULL && widget_of(alert) != nullptr && !alert->IsHidden())
				return alert;
		}
		return NULL;
	};
	for (WorkerAlert& row : rows) {
		fWindow->Forget();
		thread_id worker = spawn_thread(run_alert, "install", B_NORMAL_PRIORITY, &row);
		resume_thread(worker);
		ASSERT_TRUE(wait_until([&] { return shown_alert() != NULL; })) << row.text;
		BAlert* alert = shown_alert();
		EXPECT_EQ(row.type, alert->Type());
		EXPECT_STREQ("", alert->Title());
		EXPECT_STREQ(row.text, alert->TextView()->Text());
		ASSERT_EQ(row.buttons, alert->CountButtons());

		for (int32 i = 0; i < 5; i++)
			fWindow->PostMessage('tick');
		ASSERT_TRUE(wait_until([&] { return fWindow->Received().size() == 5; }));
		EXPECT_EQ(-100, row.answer.load());

		// "OK" answers to its shortcut o; the question's buttons have none.
		if (row.buttons == 1) {
			send_key(alert, Qt::Key_O, Qt::NoModifier, "o");
		} else {
			alert->Lock();
			alert->ButtonAt(1)->Invoke();
			alert->Unlock();
		}
		ASSERT_TRUE(wait_until([&] { return row.answer.load() == row.buttons - 1; }));
		status_t result;
		wait_for_thread(worker, &result);
		ASSERT_TRUE(wait_until([&] { return shown_alert() == NULL; }));
	}
}
