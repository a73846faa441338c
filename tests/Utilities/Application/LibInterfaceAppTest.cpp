// LibInterfaceApp: tip and help messages reach their managers; Shift+F1 over a view opens
// the help window on that view's topic; the help window neither keeps the program from
// quitting nor keeps it running alone; and "-help FILE" as a real program run: the file
// stored into the program's own resources, the standard-error lines, the exit status, the
// help extracted on first use into a private folder and removed at the end, and a
// read-only program folder that fails quietly.
#include "LibInterfaceApp.h"

#include "../Interface/Help/HelpTestSupport.h"
#include "HelpArchive.h"
#include "HelpWindow.h"
#include "LibAppResource.h"
#include "LibTextView.h"
#include "LibTipWin.h"
#include "LibWindow.h"
#include "MetaStringItem.h"
#include "TempDir.h"

#include <Box.h>
#include <OutlineListView.h>
#include <Screen.h>
#include <TypeConstants.h>
#include <View.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

using namespace gui_test;
using namespace help_test;

namespace {

const char* const kSignature = "application/x-vnd.Test-Help";

const uint32 kTick = 'tick';

// An application that calls back every 20 ms until the test is done with it, and gives up
// and quits after some seconds. The ticks come from a thread of their own, since the tip
// manager sets the application's pulse rate as its tips need.
class TestApp : public LibInterfaceApp {
public:
	TestApp() :
		LibInterfaceApp(kSignature)
	{
	}

	~TestApp() override
	{
		fStop = true;
		if (fTicker.joinable())
			fTicker.join();
	}

	void ReadyToRun() override
	{
		fTicker = std::thread([this] {
			while (!fStop) {
				PostMessage(kTick);
				std::this_thread::sleep_for(std::chrono::milliseconds(20));
			}
		});
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kTick) {
			LibInterfaceApp::MessageReceived(message);
			return;
		}
		if (fStop)
			return;
		if (++fTicks > 400) {
			fGaveUp = true;
			fStop = true;
			Quit();
			return;
		}
		if (fOnTick && fOnTick(*this)) {
			fStop = true;
			Quit();
		}
	}

	// Returns true when the test is done.
	std::function<bool(TestApp&)> fOnTick;
	int32 fTicks = 0;
	bool fGaveUp = false;

private:
	std::atomic<bool> fStop { false };
	std::thread fTicker;
};

// The window the user points into: a background holding a box holding a button-sized view.
class OptionsWindow : public LibWindow {
public:
	OptionsWindow() :
		LibWindow(
			BRect(100, 100, 399, 299), "Installer", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0)
	{
		BView* background = new BView(Bounds(), "background", B_FOLLOW_ALL, B_WILL_DRAW);
		BBox* box = new BBox(BRect(20, 20, 219, 149), "options_box");
		box->AddChild(new BView(BRect(20, 30, 119, 59), "volume", B_FOLLOW_NONE, B_WILL_DRAW));
		background->AddChild(box);
		AddChild(background);
	}
};

std::string
selected_title(HelpWindow* window)
{
	BOutlineListView* list = window->ContentList();
	BListItem* row = list->ItemAt(list->CurrentSelection());
	return row != NULL ? static_cast<MetaStringItem*>(row)->Text() : "";
}

} // namespace

TEST(LibInterfaceAppTest, TipAndHelpMessagesReachTheirManagers)
{
	ScopedTempDir temp;
	WorkingDirectory here(temp.Path().string());
	write_file(temp.Child("x-vnd.Test-Help.help"), sample_help());
	TestApp application;
	EXPECT_STREQ("x-vnd.Test-Help", application.Help().HelpName());

	application.PostMessage(kLibTipToggle);
	BMessage tip(kLibTipRequest);
	tip.AddBool("show", true);
	tip.AddString("tip", "Installs everything");
	tip.AddPoint("loc", BPoint(50, 60));
	tip.AddInt16("sdelay", 0);
	application.PostMessage(&tip);
	BMessage help(kLibHelpRequest);
	help.AddString("window", "Installer");
	help.AddString("view", "background");
	application.PostMessage(&help);

	int32 step = 0;
	testing::internal::CaptureStderr();
	application.fOnTick = [&](TestApp& app) {
		if (step++ == 0) {
			// Tips were switched off before the tip came: no tip window.
			EXPECT_FALSE(app.Tips().ShowTips());
			EXPECT_EQ(nullptr, app.Tips().Window());
			EXPECT_NE(nullptr, app.Help().Window());
			app.PostMessage(kLibTipToggle);
			app.PostMessage(&tip);
			return false;
		}
		return app.Tips().Window() != NULL;
	};
	application.Run();
	testing::internal::GetCapturedStderr();
	EXPECT_FALSE(application.fGaveUp);
	EXPECT_TRUE(application.Tips().ShowTips());
	HelpWindow* window = application.Help().Window();
	ASSERT_NE(nullptr, window);
	ASSERT_TRUE(window->Lock());
	EXPECT_EQ("Welcome", selected_title(window));
	window->Unlock();
}

TEST(LibInterfaceAppTest, ShiftF1OverAViewOpensTheHelpOnItsTopicAtTheRightEdge)
{
	ScopedTempDir temp;
	WorkingDirectory here(temp.Path().string());
	write_file(temp.Child("x-vnd.Test-Help.help"), sample_help());
	TestApp application;
	OptionsWindow* options = new OptionsWindow;
	options->Show();
	ASSERT_TRUE(wait_until([&] { return widget_of(options) != nullptr; }));

	// The pointer rests on the volume view inside the box.
	send_mouse(options, QEvent::MouseMove, BPoint(60, 70));
	send_key(options, Qt::Key_F1, Qt::ShiftModifier);

	std::string page;
	BRect frame;
	int32 step = 0;
	testing::internal::CaptureStderr();
	application.fOnTick = [&](TestApp& app) {
		HelpWindow* window = app.Help().Window();
		if (window == NULL || !window->Lock())
			return false;
		page = window->HelpPane()->Text();
		frame = window->Frame();
		const bool hidden = window->IsHidden();
		window->Unlock();
		if (page.empty())
			return false;
		if (step == 0) {
			EXPECT_FALSE(hidden);
			EXPECT_EQ("Volume", selected_title(window));
			// Closed by the user: hidden, and the same window comes back on the next request.
			window->PostMessage(B_QUIT_REQUESTED);
			step = 1;
			return false;
		}
		if (step == 1 && hidden) {
			// The pointer then rests on the background, which "Welcome" lists.
			send_mouse(options, QEvent::MouseMove, BPoint(10, 170));
			send_key(options, Qt::Key_F1, Qt::ShiftModifier);
			step = 2;
			return false;
		}
		return step == 2 && !hidden && page == "Read the licence, then press Agree.";
	};
	application.Run();
	const std::string errors = testing::internal::GetCapturedStderr();
	EXPECT_FALSE(application.fGaveUp) << "step " << step << "\n" << errors;
	EXPECT_EQ(2, step);

	BScreen screen;
	EXPECT_EQ(screen.Frame().right - 10, frame.right);
	EXPECT_NEAR(screen.Frame().bottom * 0.5f - 100, frame.top, 1);
	options->Lock();
	options->Quit();
}

TEST(LibInterfaceAppTest, TheHelpWindowNeitherKeepsTheProgramNorOutlivesIt)
{
	ScopedTempDir temp;
	WorkingDirectory here(temp.Path().string());
	write_file(temp.Child("x-vnd.Test-Help.help"), sample_help());

	// Quitting the application takes the help window along although closing it hides it.
	{
		TestApp application;
		OptionsWindow* options = new OptionsWindow;
		options->Show();
		BMessage help(kLibHelpRequest);
		help.AddString("window", "Installer");
		application.PostMessage(&help);
		application.PostMessage(B_QUIT_REQUESTED);
		testing::internal::CaptureStderr();
		application.Run();
		testing::internal::GetCapturedStderr();
		EXPECT_FALSE(application.fGaveUp);
		EXPECT_EQ(nullptr, application.Help().Window());
		EXPECT_EQ(0, application.CountWindows());
	}

	// Closing the help window when it is the last one on the screen ends the program.
	{
		TestApp application;
		BMessage help(kLibHelpRequest);
		help.AddString("window", "Installer");
		application.PostMessage(&help);
		bool asked = false;
		application.fOnTick = [&](TestApp& app) {
			HelpWindow* window = app.Help().Window();
			if (!asked && window != NULL) {
				window->PostMessage(B_QUIT_REQUESTED);
				asked = true;
			}
			return false;
		};
		testing::internal::CaptureStderr();
		application.Run();
		testing::internal::GetCapturedStderr();
		EXPECT_TRUE(asked);
		EXPECT_FALSE(application.fGaveUp) << "the program went on with nothing shown";
	}
}

namespace {

const char* const kProgramHelp = "x-vnd.Test-HelpProgram.help";

class HelpProgramTest : public testing::Test {
protected:
	HelpProgramTest()
	{
		fProgram = copy_program(BEINSTALLER_HELP_TEST_PROGRAM, fTemp.Child("Program"));
		std::filesystem::create_directory(fTemp.Child("elsewhere"));
		fHelp = fTemp.Child("product.help");
		write_file(fHelp, sample_help());
	}

	// The program run from a folder without a help file of its own.
	ProgramRun Run(const std::vector<std::string>& arguments)
	{
		std::vector<std::string> command = { fProgram };
		command.insert(command.end(), arguments.begin(), arguments.end());
		return run_program(command, fTemp.Child("elsewhere"));
	}

	ScopedTempDir fTemp;
	std::string fProgram;
	std::string fHelp;
};

} // namespace

TEST_F(HelpProgramTest, HelpOptionStoresTheFileWhichTheProgramThenShows)
{
	const auto before = temporary_entries();
	ProgramRun stored = Run({ "-help", fHelp });
	EXPECT_EQ(0, stored.status) << stored.errors;
	EXPECT_EQ(fHelp + " added to application\n", stored.errors);
	EXPECT_EQ("", stored.output) << "the program ended before it was ready";
	LibAppResource resources(fProgram.c_str(), B_READ_ONLY);
	EXPECT_TRUE(resources.HasResource(B_RAW_TYPE, kHelpResourceID));
	EXPECT_EQ(before, temporary_entries());

	// First use: not in the working directory, not yet extracted; extracted from the
	// program into its private folder, shown, and removed when the program ends.
	ProgramRun shown = Run({ "--request", "Installer/volume/options_box/background" });
	EXPECT_EQ(0, shown.status) << shown.errors;
	EXPECT_NE(std::string::npos, shown.output.find("ready\ntopics 5\nselected Volume\n"))
		<< shown.output;
	EXPECT_NE(std::string::npos,
		shown.output.find("page The volume to install on.\nOnly volumes with room show.\n"))
		<< shown.output;
	EXPECT_NE(std::string::npos, shown.output.find("shown 1\n")) << shown.output;
	const std::string temporary = getenv("TMPDIR");
	const std::string marker = "file " + temporary + "/help-";
	const size_t file = shown.output.find(marker);
	ASSERT_NE(std::string::npos, file) << shown.output;
	const std::string extracted =
		shown.output.substr(file + 5, shown.output.find('\n', file) - file - 5);
	EXPECT_EQ(std::string("/") + kProgramHelp,
		extracted.substr(extracted.size() - strlen(kProgramHelp) - 1));
	EXPECT_FALSE(exists(extracted));
	EXPECT_EQ(before, temporary_entries()) << "the private folder stayed";

	EXPECT_NE(std::string::npos,
		shown.errors.find("Help not in working directory <" + fTemp.Child("elsewhere") + "/"
			+ kProgramHelp + ">\n"))
		<< shown.errors;
	EXPECT_NE(
		std::string::npos, shown.errors.find("Help not in tmp directory <" + extracted + ">\n"))
		<< shown.errors;
	EXPECT_NE(std::string::npos, shown.errors.find("parser 1\n")) << shown.errors;

	// A help file in the working directory comes first.
	write_file(fTemp.Child("elsewhere/") + kProgramHelp,
		"<CONTENTS><CONTENT VIEW=\"W/v\" PAGE=\"p\">Local</CONTENT></CONTENTS>"
		"<PAGE NAME=\"p\">Local page</PAGE>");
	ProgramRun local = Run({ "--request", "W/v" });
	EXPECT_NE(std::string::npos, local.output.find("topics 1\nselected Local\npage Local page\n"))
		<< local.output;
}

TEST_F(HelpProgramTest, HelpOptionWithoutOneFileOrWithABadOneSaysSo)
{
	std::filesystem::create_directory(fTemp.Child("folder"));
	const std::string original = read_file(fProgram);

	struct Row {
		std::vector<std::string> arguments;
		int status;
		std::string errors;
		std::string output;
	};

	const Row rows[] = {
		// The program goes on as usual.
		{ { "-help" }, 0, "Help file requred\n", "ready\n" },
		{ { "-help", fHelp, fHelp }, 0, "Help file requred\n", "ready\n" },
		// The program ends at once, saying that nothing was stored.
		{ { "-help", fTemp.Child("missing.help") }, 1,
			fTemp.Child("missing.help") + " does not exist\n", "" },
		{ { "-help", fTemp.Child("folder") }, 1,
			fTemp.Child("folder") + " failed to add to application\n", "" },
	};
	for (const Row& row : rows) {
		ProgramRun run = Run(row.arguments);
		EXPECT_EQ(row.status, run.status) << row.arguments.size() << " " << run.errors;
		EXPECT_EQ(row.errors, run.errors);
		EXPECT_EQ(row.output, run.output);
		EXPECT_EQ(original, read_file(fProgram)) << "the program was changed";
	}
}

namespace {

const char kNamespaceVariable[] = "BEINSTALLER_HELP_NAMESPACE_CHILD";

} // namespace

// Runs only in the copy of this test program that the next test starts in a private mount
// namespace: the program's folder is a read-only mount there.
TEST(LibInterfaceAppInNamespace, HelpIntoAProgramInAReadOnlyFolderFailsQuietly)
{
	if (getenv(kNamespaceVariable) == NULL)
		GTEST_SKIP() << "runs inside a private mount namespace only";
	ScopedTempDir temp;
	const std::string folder = temp.Child("read-only");
	std::filesystem::create_directory(folder);
	ASSERT_EQ(0, mount("none", folder.c_str(), "tmpfs", 0, "size=64m")) << strerror(errno);
	const std::string program = copy_program(BEINSTALLER_HELP_TEST_PROGRAM, folder + "/Program");
	const std::string help = temp.Child("product.help");
	write_file(help, sample_help());
	const std::string original = read_file(program);
	ASSERT_EQ(0, mount(NULL, folder.c_str(), NULL, MS_REMOUNT | MS_RDONLY, NULL))
		<< strerror(errno);

	ProgramRun run = run_program({ program, "-help", help }, temp.Path().string());
	EXPECT_EQ(1, run.status);
	EXPECT_EQ(help + " failed to add to application\n", run.errors);
	EXPECT_EQ(original, read_file(program));
	EXPECT_EQ("ready\n", run_program({ program }, temp.Path().string()).output);
	umount2(folder.c_str(), MNT_DETACH);
}

TEST(LibInterfaceAppTest, HelpIntoAProgramInAReadOnlyFolderFailsQuietly)
{
	if (getenv(kNamespaceVariable) != NULL)
		GTEST_SKIP() << "already inside the namespace";
	ProgramRun probe = run_program({ "unshare", "-Urm", "true" });
	if (probe.status != 0)
		GTEST_SKIP() << "user and mount namespaces are not permitted here: " << probe.errors;

	char self[4096] = {};
	ASSERT_GT(readlink("/proc/self/exe", self, sizeof(self) - 1), 0);
	setenv(kNamespaceVariable, "1", 1);
	ProgramRun child =
		run_program({ "unshare", "-Urm", self, "--gtest_filter=LibInterfaceAppInNamespace.*" });
	unsetenv(kNamespaceVariable);
	EXPECT_EQ(0, child.status) << child.output << child.errors;
	EXPECT_NE(std::string::npos, child.output.find("[  PASSED  ] 1 test")) << child.output;
}
