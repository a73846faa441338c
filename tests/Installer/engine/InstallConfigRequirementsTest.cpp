// The requirements check: memory, libraries and applications, their texts, buttons and
// verdicts. (Disk space is checked on volumes of a known size in the whole-run tests.)
#include "ConfigTestSupport.h"

#include "LibSysInfo.h"
#include "ScopedVariable.h"

#include <Entry.h>

#include <sys/stat.h>

using namespace config_test;

namespace {

class InstallConfigRequirementsTest : public testing::Test {
protected:
	void SetUp() override
	{
		entry_ref ref;
		ASSERT_EQ(get_ref_for_path(fDir.Path().c_str(), &ref), B_OK);
		fConfig.SetDestination(ref);
		fs::create_directories(fDir.Path() / "bin");
		write_text(fDir.Path() / "bin/sample-shell", "#!/bin/sh\n");
		chmod((fDir.Path() / "bin/sample-shell").c_str(), 0755);
	}

	void Need(const char* kind, bool required, std::initializer_list<const char*> names)
	{
		bool libraries = strcmp(kind, "libraries") == 0;
		BMessage record;
		record.AddBool(
			libraries ? Package::kReqSharedLibraryRequired : Package::kReqAppRequired, required);
		for (const char* name : names)
			record.AddString(
				libraries ? Package::kReqSharedLibraryName : Package::kReqAppName, name);
		const char* field = libraries ? Package::kReqSharedLibrary : Package::kReqApps;
		fConfig.RemoveName(field);
		fConfig.AddMessage(field, &record);
	}

	void NeedMemory(int32 megabytes, bool required)
	{
		fConfig.RemoveName(Package::kReqRamNeeded);
		fConfig.RemoveName(Package::kReqRamRequired);
		fConfig.RemoveName(Package::kReqRamAmount);
		fConfig.AddBool(Package::kReqRamNeeded, true);
		fConfig.AddBool(Package::kReqRamRequired, required);
		fConfig.AddInt32(Package::kReqRamAmount, megabytes);
	}

	ScopedSandbox fSandbox;
	ScopedTempDir fDir;
	ScopedVariable fPath { "PATH", (fDir.Path() / "bin").string() };
	ScopedVariable fLibraryPath { "LIBRARY_PATH", nullptr };
	AlertRecorder fAlerts;
	InstallConfig fConfig;
};

TEST_F(InstallConfigRequirementsTest, NothingRequiredGoesOn)
{
	EXPECT_EQ(fConfig.CheckSystemResources(), kRequirementsGoOn);
	EXPECT_TRUE(fAlerts.Texts().empty());
}

TEST_F(InstallConfigRequirementsTest, MemoryVerdictsAndTexts)
{
	int32 ram = LibSysInfo().PhysicalRam();

	struct Row {
		int32 amount;
		bool required;
		int32 verdict;
		const char* ending;
	} const rows[] = {
		// Enough memory: the check goes on to the missing library, which ends it.
		{ ram, true, kRequirementsEndInstaller, nullptr },
		{ ram + 1, true, kRequirementsEndInstaller, "Installation can not continue." },
		{ ram + 1, false, kRequirementsGoOn, "You may run the application at your own risk." },
	};

	// A missing library comes after memory: a warning about memory ends the check before it.
	Need("libraries", true, { "libsample-absent.so.1" });
	for (const Row& row : rows) {
		fAlerts.Clear();
		NeedMemory(row.amount, row.required);
		EXPECT_EQ(fConfig.CheckSystemResources(), row.verdict) << row.amount;
		if (row.ending == nullptr)
			continue;
		LibString expected;
		expected.Formatted("Installation %s %d MB of physical RAM, and only %d MB is available. %s",
			row.required ? "requires" : "suggests", (int)row.amount, (int)ram, row.ending);
		EXPECT_EQ(fAlerts.Texts(), std::vector<std::string> { (const char*)expected });
	}
}

TEST_F(InstallConfigRequirementsTest, MissingLibraryAsksAndRequiredOnesOfferOnlyAbort)
{
	struct Row {
		bool required;
		const char* answer;
		int32 verdict;
		size_t questions;
	} const rows[] = {
		{ true, "Abort", kRequirementsEndInstaller, 1 },
		{ false, "Abort", kRequirementsEndInstaller, 1 },
		{ false, "Continue", kRequirementsGoOn, 2 },
	};

	for (const Row& row : rows) {
		SCOPED_TRACE(std::string(row.answer) + (row.required ? " required" : " suggested"));
		fAlerts.Clear();
		fAlerts.Answer({ row.answer });
		Need("libraries", row.required,
			{ "libsample-absent.so.1", "libc.so.6", "libsample-gone.so.2" });
		EXPECT_EQ(fConfig.CheckSystemResources(), row.verdict);
		ASSERT_EQ(fAlerts.Texts().size(), row.questions);
		EXPECT_EQ(fAlerts.Texts()[0],
			std::string("The shared library 'libsample-absent.so.1' could not be found. The "
						"installation ")
				+ (row.required ? "requires" : "suggests")
				+ " that this library be present for the installed software to work properly.");
		std::vector<std::string> buttons = { "Abort" };
		if (!row.required)
			buttons.push_back("Continue");
		EXPECT_EQ(fAlerts.Buttons()[0], buttons);
	}
}

TEST_F(InstallConfigRequirementsTest, ApplicationsAreLookedUpByTheTextInParentheses)
{
	fAlerts.Answer({ "Continue" });
	Need("apps", false,
		{ "Shell (sample-shell)", "Editor (application/x-vnd.Example-Editor)", "Nameless" });
	EXPECT_EQ(fConfig.CheckSystemResources(), kRequirementsGoOn);
	EXPECT_EQ(fAlerts.Texts(),
		(std::vector<std::string> {
			"The application 'Editor (application/x-vnd.Example-Editor)' could not be found. The "
			"installation suggests that this application be present for the installed software "
			"to work properly.",
			"The application 'Nameless' could not be found. The installation suggests that this "
			"application be present for the installed software to work properly." }));

	fAlerts.Clear();
	Need("apps", true, { "Editor (application/x-vnd.Example-Editor)" });
	EXPECT_EQ(fConfig.CheckSystemResources(), kRequirementsEndInstaller);
	std::vector<std::vector<std::string>> onlyAbort = { { "Abort" } };
	EXPECT_EQ(fAlerts.Buttons(), onlyAbort);
}

} // namespace
