// The alert functions: what each one asks (kind, title, text, buttons), the 512-byte text
// limit that never cuts a UTF-8 character, the policy that answers without a window, and the
// on-screen alert of a worker thread answered by its shortcut while a window keeps working.
#include "LibAlert.h"

#include <Alert.h>
#include <Application.h>
#include <Button.h>
#include <Message.h>
#include <TextView.h>
#include <Window.h>

#include <OS.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

using namespace gui_test;

namespace {

// A question as the policy saw it, kept beyond the call.
struct SeenQuestion {
	alert_type type = B_EMPTY_ALERT;
	std::string title;
	std::string text;
	std::vector<std::string> buttons;
	bool waits = false;
	bool isReplace = false;
};

class LibAlertTest : public testing::Test {
protected:
	void SetUp() override
	{
		LibSetAlertPolicy([this](const LibAlertQuestion& question) {
			SeenQuestion seen;
			seen.type = question.type;
			seen.title = question.title;
			seen.text = question.text;
			for (int32 i = 0; i < question.buttonCount; i++)
				seen.buttons.push_back(question.buttons[i]);
			seen.waits = question.waits;
			seen.isReplace = question.isReplace;
			fSeen.push_back(seen);
			return fAnswer;
		});
	}

	void TearDown() override { LibSetAlertPolicy(nullptr); }

	std::vector<SeenQuestion> fSeen;
	LibAlertAnswer fAnswer;
};

} // namespace

TEST_F(LibAlertTest, EachAlertFunctionAsksWithItsKindAndOneOkButton)
{
	fAnswer.button = 0;
	EXPECT_EQ(0, LibError("Could not create %s (%d)", "/boot/apps/Demo", -1));
	EXPECT_EQ(0, LibWarning("Only %d MB free", 12));
	EXPECT_EQ(0, LibInfo("%s", "Installation Complete"));
	LibInfoNoWait("Searching %s", "Work");

	struct Row {
		alert_type type;
		const char* text;
		bool waits;
	};

	const Row rows[] = {
		{ B_STOP_ALERT, "Could not create /boot/apps/Demo (-1)", true },
		{ B_WARNING_ALERT, "Only 12 MB free", true },
		{ B_INFO_ALERT, "Installation Complete", true },
		{ B_INFO_ALERT, "Searching Work", false },
	};
	ASSERT_EQ(4u, fSeen.size());
	for (size_t i = 0; i < 4; i++) {
		EXPECT_EQ(rows[i].type, fSeen[i].type) << i;
		EXPECT_EQ("", fSeen[i].title) << i;
		EXPECT_EQ(rows[i].text, fSeen[i].text) << i;
		EXPECT_EQ(std::vector<std::string> { "OK" }, fSeen[i].buttons) << i;
		EXPECT_EQ(rows[i].waits, fSeen[i].waits) << i;
		EXPECT_FALSE(fSeen[i].isReplace);
	}
}

TEST_F(LibAlertTest, LongTextsStopAt511BytesOnACharacterBoundary)
{
	struct Row {
		std::string text;
		size_t kept;
	};

	const Row rows[] = {
		{ std::string(511, 'a'), 511 },
		{ std::string(600, 'a'), 511 },
		// A two-byte character on bytes 510 and 511 would be cut in half: it goes whole.
		{ std::string(510, 'a') + "\xC3\xA9" + "tail", 510 },
		{ std::string(509, 'a') + "\xE2\x82\xAC" + "tail", 509 },
		{ std::string(508, 'a') + "\xE2\x82\xAC" + "tail", 511 },
		{ std::string(508, 'a') + "\xF0\x9F\x98\x80", 508 },
		{ std::string(2000, 'b'), 511 },
	};
	for (const Row& row : rows) {
		fSeen.clear();
		LibError("%s", row.text.c_str());
		ASSERT_EQ(1u, fSeen.size());
		EXPECT_EQ(row.text.substr(0, row.kept), fSeen[0].text) << row.text.size();
	}
}

TEST_F(LibAlertTest, AskPassesTitleTextAndTheButtonsGiven)
{
	fAnswer.button = 2;
	EXPECT_EQ(2,
		LibAsk("Requirements", "Not enough memory", "Go Back", "Continue", "Quit",
			B_WIDTH_FROM_WIDEST, B_WARNING_ALERT));
	ASSERT_EQ(1u, fSeen.size());
	EXPECT_EQ(B_WARNING_ALERT, fSeen[0].type);
	EXPECT_EQ("Requirements", fSeen[0].title);
	EXPECT_EQ("Not enough memory", fSeen[0].text);
	EXPECT_EQ((std::vector<std::string> { "Go Back", "Continue", "Quit" }), fSeen[0].buttons);

	// The text is not a format; a missing second button ends the row.
	fAnswer.button = 0;
	LibAsk(NULL, "100% done", "Yes", NULL, "Never shown");
	ASSERT_EQ(2u, fSeen.size());
	EXPECT_EQ("", fSeen[1].title);
	EXPECT_EQ("100% done", fSeen[1].text);
	EXPECT_EQ(std::vector<std::string> { "Yes" }, fSeen[1].buttons);
	EXPECT_EQ(B_INFO_ALERT, fSeen[1].type);
}

TEST_F(LibAlertTest, AnAnswerNamingNoButtonIsTheFirstAndApplyToAllNeedsTheReplaceQuestion)
{
	const int32 answers[] = { -1, 3, 7 };
	for (int32 button : answers) {
		fAnswer = LibAlertAnswer { button, true };
		EXPECT_EQ(0, LibAsk("", "Restart now?", "Later", "Restart", "Cancel")) << button;
	}

	fAnswer = LibAlertAnswer { 1, true };
	LibAlertQuestion question;
	question.buttonCount = 2;
	question.buttons[1] = "Two";
	LibAlertAnswer answer;
	ASSERT_TRUE(LibAskAlertPolicy(question, answer));
	EXPECT_EQ(1, answer.button);
	EXPECT_FALSE(answer.applyToAll);
}

TEST_F(LibAlertTest, AnEmptyPolicyPutsAlertsOnScreenAgain)
{
	LibSetAlertPolicy(nullptr);
	LibAlertAnswer answer;
	EXPECT_FALSE(LibAskAlertPolicy(LibAlertQuestion(), answer));
	// With no application there is no screen either: the text goes to standard error and
	// nobody answered.
	ASSERT_EQ(nullptr, be_app);
	testing::internal::CaptureStderr();
	EXPECT_EQ(-1, LibError("No %s here", "screen"));
	EXPECT_EQ("No screen here\n", testing::internal::GetCapturedStderr());
	EXPECT_TRUE(fSeen.empty());
}

namespace {

class CountingWindow : public BWindow {
public:
	CountingWindow() :
		BWindow(BRect(50, 50, 249, 149), "Counting", B_TITLED_WINDOW, 0)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'tick') {
			fTicks++;
			return;
		}
		BWindow::MessageReceived(message);
	}

	std::atomic<int32> fTicks { 0 };
};

class LibAlertScreenTest : public testing::Test {
protected:
	void SetUp() override
	{
		fApplication = std::make_unique<BApplication>("application/x-vnd.test-lib-alert");
		fWindow = new CountingWindow;
		fWindow->Show();
	}

	void TearDown() override
	{
		while (BAlert* alert = ShownAlert()) {
			alert->Lock();
			alert->Quit();
		}
		if (fWindow->Lock())
			fWindow->Quit();
		fApplication.reset();
	}

	BAlert* ShownAlert()
	{
		for (int32 i = 0; i < fApplication->CountWindows(); i++) {
			BAlert* alert = dynamic_cast<BAlert*>(fApplication->WindowAt(i));
			if (alert != NULL && !alert->IsHidden() && widget_of(alert) != nullptr)
				return alert;
		}
		return NULL;
	}

	std::unique_ptr<BApplication> fApplication;
	CountingWindow* fWindow;
};

std::atomic<int32> sWorkerAnswer;

int32
run_error(void*)
{
	sWorkerAnswer = LibError("Could not write %s", "Log");
	return 0;
}

} // namespace

TEST_F(LibAlertScreenTest, AWorkersErrorWaitsForOkWhileTheWindowWorks)
{
	sWorkerAnswer = -100;
	thread_id worker = spawn_thread(run_error, "install", B_NORMAL_PRIORITY, NULL);
	ASSERT_GE(worker, 0);
	resume_thread(worker);
	ASSERT_TRUE(wait_until([&] { return ShownAlert() != NULL; }));

	BAlert* alert = ShownAlert();
	EXPECT_EQ(B_STOP_ALERT, alert->Type());
	EXPECT_STREQ("", alert->Title());
	EXPECT_STREQ("Could not write Log", alert->TextView()->Text());
	ASSERT_EQ(1, alert->CountButtons());
	EXPECT_STREQ("OK", alert->ButtonAt(0)->Label());

	for (int32 i = 0; i < 5; i++)
		fWindow->PostMessage('tick');
	ASSERT_TRUE(wait_until([&] { return fWindow->fTicks.load() == 5; }));
	EXPECT_EQ(-100, sWorkerAnswer.load());

	send_key(alert, Qt::Key_O, Qt::NoModifier, "o");
	ASSERT_TRUE(wait_until([&] { return sWorkerAnswer.load() == 0; }));
	status_t result;
	EXPECT_EQ(B_OK, wait_for_thread(worker, &result));
}

TEST_F(LibAlertScreenTest, InfoNoWaitReturnsWithTheAlertStillUp)
{
	LibInfoNoWait("Installed into %s", "/boot/apps");
	BAlert* alert = NULL;
	ASSERT_TRUE(wait_until([&] { return (alert = ShownAlert()) != NULL; }));
	EXPECT_EQ(B_INFO_ALERT, alert->Type());
	EXPECT_STREQ("Installed into /boot/apps", alert->TextView()->Text());
	send_key(alert, Qt::Key_O, Qt::NoModifier, "O");
	EXPECT_TRUE(wait_until([&] { return ShownAlert() == NULL; }));
}

TEST_F(LibAlertScreenTest, APolicyAnswersWithoutAWindow)
{
	int32 asked = 0;
	LibSetAlertPolicy([&](const LibAlertQuestion&) {
		asked++;
		return LibAlertAnswer { 1, false };
	});
	EXPECT_EQ(1, LibAsk("Launch", "Start Demo now?", "No", "Yes"));
	LibInfoNoWait("Done");
	LibSetAlertPolicy(nullptr);
	EXPECT_EQ(2, asked);
	run_for(50);
	EXPECT_EQ(1, fApplication->CountWindows());
}
