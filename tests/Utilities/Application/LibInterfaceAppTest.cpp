// LibInterfaceApp: Shift+F1 over a view opens the help window on that view's topic; the
// help window neither keeps the program from quitting nor keeps it running alone; and,
// with a real program run as a process, "-help FILE": the file stored into the program
// itself, the standard-error lines and exit status, the help taken out on first use into
// a private folder that goes at the end, and a read-only program folder.
#include "LibInterfaceApp.h"

#include "../Interface/Help/HelpTestSupport.h"
#include "HelpWindow.h"
#include "LibTextView.h"
#include "LibWindow.h"
#include "MetaStringItem.h"
#include "TempDir.h"

#include <Box.h>
#include <OutlineListView.h>
#include <Screen.h>
#include <View.h>

#include "GuiTestSupport.h"

#include <gtest/gtest.h>

#include <sys/mount.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using namespace gui_test;
using namespace help_test;

namespace {

const uint32 kTick = 'tick';

// Calls the test back every 20 ms until it is done, and gives up after eight seconds.
// The ticks come from a thread: the tip manager sets the pulse rate as its tips need.
class TestApp : public LibInterfaceApp {
public:
	TestApp() :
		LibInterfaceApp("application/x-vnd.Test-Help")
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
			for (; !fStop; std::this_thread::sleep_for(std::chrono::milliseconds(20)))
				PostMessage(kTick);
		});
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kTick) {
			LibInterfaceApp::MessageReceived(message);
			return;
		}
		fGaveUp = ++fTicks > 400;
		if (!fStop && (fGaveUp || (fOnTick && fOnTick()))) {
			fStop = true;
			Quit();
		}
	}

	std::function<bool()> fOnTick;
	int32 fTicks = 0;
	bool fGaveUp = false;

private:
	std::atomic<bool> fStop { false };
	std::thread fTicker;
};

// The window the user points into: a background holding a box holding the volume view.
LibWindow*
options_window()
{
	LibWindow* window = new LibWindow(BRect(100, 100, 399, 299), "Installer", B_TITLED_WINDOW, 0);
	BView* background = new BView(window->Bounds(), "background", B_FOLLOW_ALL, B_WILL_DRAW);
	BBox* box = new BBox(BRect(20, 20, 219, 149), "options_box");
	box->AddChild(new BView(BRect(20, 30, 119, 59), "volume", B_FOLLOW_NONE, B_WILL_DRAW));
	background->AddChild(box);
	window->AddChild(background);
	window->Show();
	return window;
}

} // namespace

TEST(LibInterfaceAppTest, ShiftF1OpensTheHelpOnTheTopicOfTheViewUnderThePointer)
{
	ScopedTempDir temp;
	WorkingDirectory here(temp.Path());
	write_file(temp.Child("x-vnd.Test-Help.help"), sample_help());
	TestApp application;
	LibWindow* options = options_window();
	ASSERT_TRUE(wait_until([&] { return widget_of(options) != nullptr; }));
	send_mouse(options, QEvent::MouseMove, BPoint(60, 70));
	send_key(options, Qt::Key_F1, Qt::ShiftModifier);

	std::vector<std::string> seen;
	BRect frame;
	application.fOnTick = [&] {
		HelpWindow* window = application.Help().Window();
		if (window == NULL || !window->Lock())
			return false;
		BOutlineListView* list = window->ContentList();
		BListItem* row = list->ItemAt(list->CurrentSelection());
		const std::string shown = window->IsHidden() || row == NULL
			? "hidden"
			: std::string(static_cast<MetaStringItem*>(row)->Text()) + ": "
				+ window->HelpPane()->Text();
		const bool pageFollows = !window->IsHidden() && window->HelpPane()->TextLength() == 0;
		frame = window->Frame();
		window->Unlock();
		// The page follows the selection in a message of its own.
		if (pageFollows)
			return false;
		if (seen.empty() || seen.back() != shown)
			seen.push_back(shown);
		if (seen.size() == 1) {
			// The user closes the help window, then asks again over the background.
			window->PostMessage(B_QUIT_REQUESTED);
		} else if (seen.size() == 2 && shown == "hidden") {
			send_mouse(options, QEvent::MouseMove, BPoint(10, 170));
			send_key(options, Qt::Key_F1, Qt::ShiftModifier);
		}
		return seen.size() == 3;
	};
	testing::internal::CaptureStderr();
	application.Run();
	testing::internal::GetCapturedStderr();
	EXPECT_EQ((std::vector<std::string> {
				  "Volume: The volume to install on.\nOnly volumes with room show.", "hidden",
				  "Welcome: Read the licence, then press Agree." }),
		seen);
	// At the right edge of the screen, halfway down.
	BRect screen = BScreen().Frame();
	EXPECT_EQ(screen.right - 10, frame.right);
	EXPECT_NEAR(screen.bottom / 2 - 100, frame.top, 1);
	options->Lock();
	options->Quit();
}

TEST(LibInterfaceAppTest, TheHelpWindowNeitherKeepsTheProgramNorOutlivesIt)
{
	ScopedTempDir temp;
	WorkingDirectory here(temp.Path());
	write_file(temp.Child("x-vnd.Test-Help.help"), sample_help());
	BMessage help(kLibHelpRequest);
	help.AddString("window", "Installer");
	testing::internal::CaptureStderr();
	{
		// Quitting the application takes the help window along, though closing it hides it.
		TestApp application;
		options_window();
		application.PostMessage(&help);
		application.PostMessage(B_QUIT_REQUESTED);
		application.Run();
		EXPECT_FALSE(application.fGaveUp);
		EXPECT_EQ(nullptr, application.Help().Window());
		EXPECT_EQ(0, application.CountWindows());
	}
	{
		// Closing the help window when no other window shows ends the program.
		TestApp application;
		application.PostMessage(&help);
		application.fOnTick = [&] {
			if (application.Help().Window() != NULL)
				application.Help().Window()->PostMessage(B_QUIT_REQUESTED);
			return false;
		};
		application.Run();
		EXPECT_FALSE(application.fGaveUp) << "the program went on with nothing shown";
	}
	testing::internal::GetCapturedStderr();
}

namespace {

// The test program (a LibInterfaceApp with signature "application/x-vnd.Test-HelpProgram")
// copied into a folder of the test's own, run from another folder without a help file.
class HelpProgramTest : public testing::Test {
protected:
	HelpProgramTest()
	{
		std::filesystem::copy_file(BEINSTALLER_HELP_TEST_PROGRAM, fProgram);
		std::filesystem::create_directory(fTemp.Child("elsewhere"));
		write_file(fHelp, sample_help());
	}

	ProgramRun Run(std::vector<std::string> arguments)
	{
		arguments.insert(arguments.begin(), fProgram);
		return run_program(arguments, fTemp.Child("elsewhere"));
	}

	ScopedTempDir fTemp;
	const std::string fProgram = fTemp.Child("Program");
	const std::string fHelp = fTemp.Child("product.help");
};

} // namespace

TEST_F(HelpProgramTest, TheHelpStoredWithTheOptionIsShownAndTakenOutOnlyForTheRun)
{
	const auto before = temporary_entries();
	ProgramRun stored = Run({ "-help", fHelp });
	EXPECT_EQ(0, stored.status);
	EXPECT_EQ(fHelp + " added to application\n", stored.errors);
	EXPECT_EQ("", stored.output) << "the program went on after storing";

	ProgramRun shown = Run({ "--request", "Installer/volume/options_box/background" });
	EXPECT_EQ(0, shown.status) << shown.errors;
	EXPECT_NE(std::string::npos,
		shown.output.find("ready\ntopics 5\nselected Volume\npage The volume to install on.\n"
						  "Only volumes with room show.\nfile "
			+ std::string(getenv("TMPDIR")) + "/help-"))
		<< shown.output;
	const size_t file = shown.output.find("file ") + 5;
	const std::string extracted = shown.output.substr(file, shown.output.find('\n', file) - file);
	EXPECT_NE(std::string::npos,
		shown.errors.find("Help not in working directory <" + fTemp.Child("elsewhere")))
		<< shown.errors;
	EXPECT_NE(
		std::string::npos, shown.errors.find("Help not in tmp directory <" + extracted + ">\n"))
		<< shown.errors;
	EXPECT_FALSE(exists(extracted));
	EXPECT_EQ(before, temporary_entries()) << "the private folder stayed";

	// A help file in the working directory comes first.
	write_file(fTemp.Child("elsewhere/x-vnd.Test-HelpProgram.help"),
		"<CONTENTS><CONTENT VIEW=\"W/v\" PAGE=\"p\">Local</CONTENT></CONTENTS><PAGE "
		"NAME=\"p\">Here</PAGE>");
	EXPECT_NE(std::string::npos,
		Run({ "--request", "W/v" }).output.find("topics 1\nselected Local\npage Here\n"));
}

TEST_F(HelpProgramTest, TheOptionWithoutOneFileOrWithABadOneSaysSo)
{
	std::filesystem::create_directory(fTemp.Child("folder"));
	write_file(fTemp.Child("huge.help"), std::string(1024 * 1024, ' '));
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
		// The program ends at once: nothing was stored.
		{ { "-help", fTemp.Child("missing") }, 1, fTemp.Child("missing") + " does not exist\n",
			"" },
		{ { "-help", fTemp.Child("folder") }, 1,
			fTemp.Child("folder") + " failed to add to application\n", "" },
		{ { "-help", fTemp.Child("huge.help") }, 1,
			fTemp.Child("huge.help") + " failed to add to application\n", "" },
	};
	for (const Row& row : rows) {
		ProgramRun run = Run(row.arguments);
		EXPECT_EQ(row.status, run.status) << row.errors;
		EXPECT_EQ(row.errors, run.errors);
		EXPECT_EQ(row.output, run.output);
		EXPECT_EQ(original, read_file(fProgram)) << row.errors;
	}
}

namespace {

const char kInNamespace[] = "BEINSTALLER_HELP_NAMESPACE_CHILD";

} // namespace

// Runs only in the copy of this test program that the next test starts in private user and
// mount namespaces, where a read-only mount can be made.
TEST(LibInterfaceAppInNamespace, HelpForAProgramInAReadOnlyFolderFailsQuietly)
{
	if (getenv(kInNamespace) == NULL)
		GTEST_SKIP() << "runs inside a private mount namespace only";
	ScopedTempDir temp;
	const std::string folder = temp.Child("read-only");
	std::filesystem::create_directory(folder);
	ASSERT_EQ(0, mount("none", folder.c_str(), "tmpfs", 0, "size=64m"));
	std::filesystem::copy_file(BEINSTALLER_HELP_TEST_PROGRAM, folder + "/Program");
	const std::string original = read_file(folder + "/Program");
	ASSERT_EQ(0, mount(NULL, folder.c_str(), NULL, MS_REMOUNT | MS_RDONLY, NULL));
	write_file(temp.Child("product.help"), sample_help());

	ProgramRun run = run_program({ folder + "/Program", "-help", temp.Child("product.help") });
	EXPECT_EQ(1, run.status);
	EXPECT_EQ(temp.Child("product.help") + " failed to add to application\n", run.errors);
	EXPECT_EQ(original, read_file(folder + "/Program"));
	umount2(folder.c_str(), MNT_DETACH);
}

TEST(LibInterfaceAppTest, HelpForAProgramInAReadOnlyFolderFailsQuietly)
{
	if (getenv(kInNamespace) != NULL)
		GTEST_SKIP() << "already inside the namespace";
	if (run_program({ "unshare", "-Urm", "true" }).status != 0)
		GTEST_SKIP() << "user and mount namespaces are not permitted here";
	setenv(kInNamespace, "1", 1);
	ProgramRun child =
		run_program({ "unshare", "-Urm", std::filesystem::read_symlink("/proc/self/exe"),
			"--gtest_filter=LibInterfaceAppInNamespace.*" });
	unsetenv(kInNamespace);
	EXPECT_EQ(0, child.status) << child.output << child.errors;
	EXPECT_NE(std::string::npos, child.output.find("[  PASSED  ] 1 test")) << child.output;
}
