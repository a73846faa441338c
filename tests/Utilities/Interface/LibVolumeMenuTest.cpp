// LibVolumeMenu: the boot volume first and marked, the rules that grey out unsuitable volumes,
// the marked volume kept across Update() and given up when it goes. Second volumes (tmpfs,
// ramfs) are mounted in a private mount namespace: those tests run in a child copy of this
// program started under `unshare -Urm`, so nothing is mounted where the rest of the machine
// can see it, and are skipped, saying why, where namespaces are not permitted.
#include "LibVolumeMenu.h"

#include <MenuItem.h>
#include <Message.h>
#include <StorageDefs.h>
#include <Volume.h>
#include <VolumeRoster.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

const char kChildVariable[] = "BEINSTALLER_VOLUME_MENU_NAMESPACE_CHILD";

std::string
boot_name()
{
	BVolumeRoster roster;
	BVolume boot;
	roster.GetBootVolume(&boot);
	char name[B_FILE_NAME_LENGTH] = "";
	boot.GetName(name);
	return name;
}

// Runs a program without a shell, its output into output; returns its exit status or -1.
int
run(std::vector<std::string> arguments, const std::string& variable, std::string* output)
{
	int pipeFds[2];
	if (pipe(pipeFds) != 0)
		return -1;
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
	posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
	std::vector<char*> argv;
	for (std::string& argument : arguments)
		argv.push_back(argument.data());
	argv.push_back(nullptr);
	std::vector<char*> envp;
	for (char** entry = environ; *entry != nullptr; entry++)
		envp.push_back(*entry);
	std::string extra = variable;
	if (!extra.empty())
		envp.push_back(extra.data());
	envp.push_back(nullptr);
	pid_t child;
	int result = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
	posix_spawn_file_actions_destroy(&actions);
	close(pipeFds[1]);
	char buffer[4096];
	ssize_t count;
	while (result == 0 && (count = read(pipeFds[0], buffer, sizeof(buffer))) > 0)
		output->append(buffer, count);
	close(pipeFds[0]);
	int status = 0;
	if (result != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
		return -1;
	return WEXITSTATUS(status);
}

// A file system mounted for one test inside the namespace.
class ScopedMount {
public:
	ScopedMount(const fs::path& point, const char* type, unsigned long flags = 0) :
		fPoint(point)
	{
		fs::create_directories(point);
		fMounted = mount(type, point.c_str(), type, flags, NULL) == 0;
	}

	~ScopedMount() { Unmount(); }

	void Unmount()
	{
		if (fMounted && umount(fPoint.c_str()) == 0)
			fMounted = false;
	}

	bool fMounted = false;

private:
	fs::path fPoint;
};

void
rules_grey_out_unsuitable_volumes()
{
	ScopedTempDir temp;
	ScopedMount plain(temp.Path() / "Plain", "ramfs");
	ScopedMount frozen(temp.Path() / "Frozen", "tmpfs", MS_RDONLY);
	ScopedMount scratch(temp.Path() / "Scratch Disk", "tmpfs");
	ASSERT_TRUE(plain.fMounted && frozen.fMounted && scratch.fMounted);
	// This kernel's tmpfs may or may not keep user attributes; ramfs keeps none.
	const bool attributes =
		setxattr((temp.Path() / "Scratch Disk").c_str(), "user.probe", "1", 1, 0) == 0;

	struct Row {
		const char* rule;
		bool onlyBeOS;
		bool readOnly;
		bool persistent;
		bool plain;
		bool frozen;
		bool scratch;
	};

	// None of them is persistent, removable or shared.
	const Row rows[] = {
		{ "defaults", true, false, true, false, attributes, attributes },
		{ "any file system", false, false, true, true, false, true },
		{ "read-only allowed", false, true, false, true, true, true },
	};
	LibVolumeMenu menu(BPoint(0, 0), "volume", 2004, 60);
	for (const Row& row : rows) {
		menu.OnlyBeOS(row.onlyBeOS);
		menu.AllowReadOnly(row.readOnly);
		menu.AllowPersistent(row.persistent);
		menu.AllowRemovable(false);
		menu.AllowShared(false);
		menu.Update();
		EXPECT_EQ(boot_name(), menu.ItemAt(0)->Label()) << row.rule;
		EXPECT_EQ(0, menu.CurrentSelection()) << row.rule;
		// The boot volume is never greyed out.
		EXPECT_TRUE(menu.IsItemEnabled(0)) << row.rule;
		EXPECT_EQ(row.plain, menu.IsItemEnabled("Plain")) << row.rule;
		EXPECT_EQ(row.frozen, menu.IsItemEnabled("Frozen")) << row.rule;
		EXPECT_EQ(row.scratch, menu.IsItemEnabled("Scratch Disk")) << row.rule;
	}
	EXPECT_EQ(2004u, menu.ItemAt(1)->Message()->what);
	menu.SetText("Scratch Disk");
	BVolume current;
	ASSERT_TRUE(menu.GetCurrentVolume(current));
	char name[B_FILE_NAME_LENGTH];
	current.GetName(name);
	EXPECT_STREQ("Scratch Disk", name);
}

void
marked_volume_is_kept_until_it_goes()
{
	ScopedTempDir temp;
	ScopedMount second(temp.Path() / "Second", "tmpfs");
	ScopedMount frozen(temp.Path() / "Frozen", "tmpfs", MS_RDONLY);
	ASSERT_TRUE(second.fMounted && frozen.fMounted);

	LibVolumeMenu menu(BPoint(0, 0), "volume", 2004, 40);
	menu.OnlyBeOS(false);
	menu.AllowReadOnly(true);
	menu.Update();
	menu.SetText("Second");
	menu.Update();
	EXPECT_STREQ("Second", menu.Text());
	second.Unmount();
	menu.Update();
	EXPECT_FALSE(menu.InMenu("Second"));
	EXPECT_EQ(boot_name(), menu.Text());

	// A marked volume that the rules now refuse is not chosen again either.
	menu.SetText("Frozen");
	ASSERT_STREQ("Frozen", menu.Text());
	menu.AllowReadOnly(false);
	menu.Update();
	EXPECT_EQ(boot_name(), menu.Text());
}

class NamespaceCase : public testing::Test {
public:
	explicit NamespaceCase(void (*body)()) :
		fBody(body)
	{
	}

	void TestBody() override { fBody(); }

private:
	void (*fBody)();
};

const bool kNamespaceCasesRegistered = [] {
	if (getenv(kChildVariable) == nullptr)
		return false;
	const std::pair<const char*, void (*)()> cases[] = {
		{ "RulesGreyOutUnsuitableVolumes", rules_grey_out_unsuitable_volumes },
		{ "MarkedVolumeIsKeptUntilItGoes", marked_volume_is_kept_until_it_goes },
	};
	for (const auto& [name, body] : cases) {
		void (*test)() = body;
		testing::RegisterTest("LibVolumeMenuInNamespace", name, nullptr, nullptr, __FILE__,
			__LINE__, [test]() -> NamespaceCase* { return new NamespaceCase(test); });
	}
	return true;
}();

} // namespace

TEST(LibVolumeMenuTest, TheBootVolumeComesFirstAndIsMarked)
{
	LibVolumeMenu menu(BPoint(10, 50), "volume", 2004, 60);
	EXPECT_STREQ("Disk", menu.LabelText());
	EXPECT_EQ(BRect(10, 50, 200, 75), menu.Frame());
	BVolume current;
	EXPECT_FALSE(menu.GetCurrentVolume(current));

	menu.Update();
	EXPECT_EQ(boot_name(), menu.Text());
	EXPECT_EQ(0, menu.CurrentSelection());
	ASSERT_TRUE(menu.GetCurrentVolume(current));
	BVolume boot;
	BVolumeRoster().GetBootVolume(&boot);
	EXPECT_TRUE(current == boot);
}

TEST(LibVolumeMenuTest, SecondVolumesInAPrivateMountNamespace)
{
	if (getenv(kChildVariable) != nullptr)
		GTEST_SKIP() << "already inside the namespace";
	std::string output;
	if (run({ "unshare", "-Urm", "true" }, "", &output) != 0)
		GTEST_SKIP() << "user and mount namespaces are not permitted here: " << output;

	char self[4096] = {};
	ASSERT_GT(readlink("/proc/self/exe", self, sizeof(self) - 1), 0);
	int status = run({ "unshare", "-Urm", self, "--gtest_filter=LibVolumeMenuInNamespace.*" },
		std::string(kChildVariable) + "=1", &output);
	EXPECT_EQ(status, 0) << output;
	EXPECT_NE(output.find("2 tests from 1 test suite ran"), std::string::npos) << output;
}
