// DeinstallApp: which starts open the search window (a configuration in the program's
// resources, or exactly the one argument "-ui") and which refuse with the alert and quit.
#include "DeinstallApp.h"
#include "DeinstallUnattended.h"
#include "DeinstallerWin.h"

#include <InstallImage.h>
#include <LibAlert.h>
#include <LibAppResource.h>

#include "../DeinstallTestSupport.h"
#include "GuiTestSupport.h"
#include "TempDir.h"
#include "qt/ApplicationPrivate.h"

#include <gtest/gtest.h>

using namespace deinstall_test;

namespace {

// Quits once ReadyToRun() has done its work, and remembers what it saw then.
class TestApp : public DeinstallApp {
public:
	explicit TestApp(const char* executable) :
		DeinstallApp(executable)
	{
	}

	void ReadyToRun() override
	{
		DeinstallApp::ReadyToRun();
		fShown = Window()->Lock() && !Window()->IsHidden();
		Window()->Unlock();
		fAppName = Window()->Image()->TextAt(InstallImage::APP_NAME);
		// Closing the search window is what ends the program.
		if (fShown)
			Window()->PostMessage(B_QUIT_REQUESTED);
		else
			PostMessage(B_QUIT_REQUESTED);
	}

	bool fShown = false;
	std::string fAppName;
};

// An executable of the test's own, with the configuration in its resources or without.
std::string
make_executable(const ScopedTempDir& folder, bool configured)
{
	std::string path = folder.Child(configured ? "Configured Deinstaller" : "Bare Deinstaller");
	file_test::write_file(path, file_test::read_file("/bin/true"));
	if (configured) {
		BMessage configuration;
		make_configuration(configuration);
		std::string flat(configuration.FlattenedSize(), '\0');
		configuration.Flatten(flat.data(), flat.size());
		LibAppResource resources(path.c_str(), B_READ_WRITE);
		resources.AddResource(Package::kStringType, Package::kConfigurationId, flat.data(),
			flat.size(), "BRC:configuration");
		resources.Sync();
	}
	return path;
}

} // namespace

TEST(DeinstallApp, OpensWithAConfigurationOrWithExactlyMinusUi)
{
	struct Row {
		bool configured;
		std::vector<std::string> arguments;
		bool shown;
		const char* errorLines;
	} rows[] = {
		{ true, {}, true, "" },
		{ false, { "-ui" }, true, "DEBUG ui\nDoes not have resource 2002\n" },
		{ true, { "-ui" }, true, "DEBUG ui\n" },
		{ false, {}, false, "Does not have resource 2002\n" },
		{ false, { "-UI" }, false, "Does not have resource 2002\n" },
		{ false, { "-ui", "more" }, false, "Does not have resource 2002\n" },
	};

	ScopedTempDir folder;
	for (const Row& row : rows) {
		std::string trace = row.arguments.empty() ? "(none)" : row.arguments[0];
		std::vector<std::string> alerts;
		LibSetAlertPolicy([&alerts](const LibAlertQuestion& question) {
			alerts.push_back(question.text);
			return LibAlertAnswer();
		});
		std::vector<std::string> commandLine = { "Tarnwick" };
		commandLine.insert(commandLine.end(), row.arguments.begin(), row.arguments.end());
		BPrivate::set_command_line(commandLine);

		testing::internal::CaptureStderr();
		{
			TestApp application(make_executable(folder, row.configured).c_str());
			application.Run();
			EXPECT_EQ(row.shown, application.fShown) << trace;
			EXPECT_EQ(row.arguments == std::vector<std::string> { "-ui" }, application.UiFlag());
			EXPECT_EQ(row.configured ? "Editor" : "", application.fAppName) << trace;
		}
		EXPECT_EQ(row.errorLines, testing::internal::GetCapturedStderr()) << trace;
		std::vector<std::string> expectedAlerts;
		if (!row.shown)
			expectedAlerts.push_back(kNotConfiguredText);
		EXPECT_EQ(expectedAlerts, alerts) << trace;
		LibSetAlertPolicy(LibAlertPolicy());
	}
	BPrivate::set_command_line({});
}
