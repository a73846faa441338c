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
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

const char kChildVariable[] = "BEINSTALLER_VOLUME_MENU_NAMESPACE_CHILD";
const uint32 kVolumeChosen = 2004;

std::string
name_of(const BVolume& volume)
{
	char name[B_FILE_NAME_LENGTH] = "";
	volume.GetName(name);
	return name;
}

BVolume
boot_volume()
{
	BVolumeRoster roster;
	BVolume boot;
	roster.GetBootVolume(&boot);
	return boot;
}

dev_t
device_of(const fs::path& path)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0 ? st.st_dev : (dev_t)-1;
}

// The labels of the menu, in order.
std::vector<std::string>
labels_of(LibVolumeMenu& menu)
{
	std::vector<std::string> labels;
	for (int32 i = 0; BMenuItem* item = menu.ItemAt(i); i++)
		labels.push_back(item->Label());
	return labels;
}

// Runs a program without a shell; returns its exit status (or -1) and its output.
int
run(const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnvironment,
	std::string* output)
{
	int pipeFds[2];
	if (pipe(pipeFds) != 0)
		return -1;
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
	posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
	posix_spawn_file_actions_addclose(&actions, pipeFds[0]);

	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(nullptr);
	std::vector<char*> envp;
	for (char** variable = environ; *variable != nullptr; variable++)
		envp.push_back(*variable);
	for (const std::string& variable : extraEnvironment)
		envp.push_back(const_cast<char*>(variable.c_str()));
	envp.push_back(nullptr);

	pid_t child;
	int result = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
	posix_spawn_file_actions_destroy(&actions);
	close(pipeFds[1]);
	if (result != 0) {
		close(pipeFds[0]);
		return -1;
	}
	char buffer[4096];
	ssize_t read;
	while ((read = ::read(pipeFds[0], buffer, sizeof(buffer))) > 0)
		output->append(buffer, read);
	close(pipeFds[0]);
	int status = 0;
	if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
		return -1;
	return WEXITSTATUS(status);
}

// A file system mounted for one test inside the namespace, unmounted afterwards.
class ScopedMount {
public:
	ScopedMount(const fs::path& point, const char* type, unsigned long flags = 0,
		const char* options = "size=4m") :
		fPoint(point)
	{
		fs::create_directories(point);
		fMounted = mount(type, point.c_str(), type, flags, options) == 0;
	}

	~ScopedMount() { Unmount(); }

	bool Mounted() const { return fMounted; }

	void Unmount()
	{
		if (fMounted && umount(fPoint.c_str()) == 0)
			fMounted = false;
	}

private:
	fs::path fPoint;
	bool fMounted = false;
};

bool
keeps_user_xattrs(const fs::path& folder)
{
	fs::path probe = folder / ".probe";
	std::ofstream(probe) << "x";
	bool supported = setxattr(probe.c_str(), "user.probe", "1", 1, 0) == 0;
	fs::remove(probe);
	return supported;
}

// The tests that run inside the namespace.

void
second_volume_is_listed_after_the_boot_volume()
{
	ScopedTempDir temp;
	ScopedMount scratch(temp.Path() / "Scratch Disk", "tmpfs");
	ASSERT_TRUE(scratch.Mounted());

	LibVolumeMenu menu(BPoint(10, 20), "volume", kVolumeChosen, 60);
	menu.Update();
	std::vector<std::string> labels = labels_of(menu);
	ASSERT_GE(labels.size(), 2u);
	EXPECT_EQ(name_of(boot_volume()), labels[0]);
	EXPECT_STREQ(labels[0].c_str(), menu.Text());
	EXPECT_NE(std::find(labels.begin(), labels.end(), "Scratch Disk"), labels.end());
	// Only volumes that keep attributes are usable by default.
	EXPECT_EQ(keeps_user_xattrs(temp.Path() / "Scratch Disk"), menu.IsItemEnabled("Scratch Disk"));
	EXPECT_EQ(kVolumeChosen, menu.ItemAt(1)->Message()->what);

	BVolume current;
	ASSERT_TRUE(menu.GetCurrentVolume(current));
	EXPECT_TRUE(current == boot_volume());
	menu.SetText("Scratch Disk");
	ASSERT_TRUE(menu.GetCurrentVolume(current));
	EXPECT_EQ(device_of(temp.Path() / "Scratch Disk"), current.Device());
}

void
rules_grey_out_unsuitable_volumes()
{
	ScopedTempDir temp;
	ScopedMount plain(temp.Path() / "Plain", "ramfs", 0, "");
	ScopedMount frozen(temp.Path() / "Frozen", "tmpfs", MS_RDONLY);
	ScopedMount scratch(temp.Path() / "Scratch", "tmpfs");
	ASSERT_TRUE(plain.Mounted() && frozen.Mounted() && scratch.Mounted());
	const bool tmpfsAttributes = keeps_user_xattrs(temp.Path() / "Scratch");

	struct Row {
		const char* rule;
		bool onlyBeOS;
		bool readOnly;
		bool persistent;
		bool removable;
		bool shared;
		bool plain;
		bool frozen;
		bool scratch;
	};

	// ramfs keeps no attributes; all three are neither persistent, removable nor shared.
	const Row rows[] = {
		{ "defaults", true, false, true, true, true, false, tmpfsAttributes, tmpfsAttributes },
		{ "any file system", false, false, true, true, true, true, false, true },
		{ "read-only allowed", false, true, true, true, true, true, true, true },
		{ "nothing persistent", false, true, false, false, false, true, true, true },
	};
	LibVolumeMenu menu(BPoint(0, 0), "volume", kVolumeChosen, 40);
	for (const Row& row : rows) {
		menu.OnlyBeOS(row.onlyBeOS);
		menu.AllowReadOnly(row.readOnly);
		menu.AllowPersistent(row.persistent);
		menu.AllowRemovable(row.removable);
		menu.AllowShared(row.shared);
		menu.Update();
		EXPECT_EQ(row.plain, menu.IsItemEnabled("Plain")) << row.rule;
		EXPECT_EQ(row.frozen, menu.IsItemEnabled("Frozen")) << row.rule;
		EXPECT_EQ(row.scratch, menu.IsItemEnabled("Scratch")) << row.rule;
		// The boot volume is never greyed out.
		EXPECT_TRUE(menu.IsItemEnabled(0)) << row.rule;
	}

	// Every other volume of this machine follows the same rules.
	menu.OnlyBeOS(false);
	menu.AllowReadOnly(false);
	menu.AllowPersistent(false);
	menu.Update();
	BVolumeRoster roster;
	BVolume volume;
	while (roster.GetNextVolume(&volume) == B_OK) {
		if (volume == boot_volume())
			continue;
		const std::string name = name_of(volume);
		EXPECT_EQ(!volume.IsReadOnly() && !volume.IsPersistent(), menu.IsItemEnabled(name.c_str()))
			<< name;
	}
}

void
marked_volume_is_kept_until_it_goes()
{
	ScopedTempDir temp;
	ScopedMount first(temp.Path() / "First", "tmpfs");
	ScopedMount second(temp.Path() / "Second", "tmpfs");
	ASSERT_TRUE(first.Mounted() && second.Mounted());

	LibVolumeMenu menu(BPoint(0, 0), "volume", kVolumeChosen, 40);
	menu.OnlyBeOS(false);
	menu.Update();
	menu.SetText("Second");
	ASSERT_STREQ("Second", menu.Text());
	menu.Update();
	EXPECT_STREQ("Second", menu.Text());

	second.Unmount();
	menu.Update();
	EXPECT_FALSE(menu.InMenu("Second"));
	EXPECT_EQ(name_of(boot_volume()), menu.Text());
	BVolume current;
	ASSERT_TRUE(menu.GetCurrentVolume(current));
	EXPECT_TRUE(current == boot_volume());

	// A marked volume that the rules now refuse is not chosen again either.
	ScopedMount frozen(temp.Path() / "Frozen", "tmpfs", MS_RDONLY);
	ASSERT_TRUE(frozen.Mounted());
	menu.AllowReadOnly(true);
	menu.Update();
	menu.SetText("Frozen");
	ASSERT_STREQ("Frozen", menu.Text());
	menu.AllowReadOnly(false);
	menu.Update();
	EXPECT_FALSE(menu.IsItemEnabled("Frozen"));
	EXPECT_EQ(name_of(boot_volume()), menu.Text());
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
	const struct {
		const char* name;
		void (*body)();
	} cases[] = {
		{ "SecondVolumeIsListedAfterTheBootVolume", second_volume_is_listed_after_the_boot_volume },
		{ "RulesGreyOutUnsuitableVolumes", rules_grey_out_unsuitable_volumes },
		{ "MarkedVolumeIsKeptUntilItGoes", marked_volume_is_kept_until_it_goes },
	};
	for (const auto& entry : cases) {
		void (*body)() = entry.body;
		testing::RegisterTest("LibVolumeMenuInNamespace", entry.name, nullptr, nullptr, __FILE__,
			__LINE__, [body]() -> NamespaceCase* { return new NamespaceCase(body); });
	}
	return true;
}();

} // namespace

TEST(LibVolumeMenuTest, TheBootVolumeComesFirstAndIsMarked)
{
	LibVolumeMenu menu(BPoint(10, 50), "volume", kVolumeChosen, 60);
	EXPECT_STREQ("Disk", menu.LabelText());
	EXPECT_EQ(BRect(10, 50, 200, 75), menu.Frame());
	EXPECT_EQ(nullptr, menu.ItemAt(0));
	BVolume current;
	EXPECT_FALSE(menu.GetCurrentVolume(current));

	menu.Update();
	ASSERT_NE(nullptr, menu.ItemAt(0));
	EXPECT_EQ(name_of(boot_volume()), menu.ItemAt(0)->Label());
	EXPECT_EQ(0, menu.CurrentSelection());
	EXPECT_TRUE(menu.IsItemEnabled(0));
	ASSERT_TRUE(menu.GetCurrentVolume(current));
	EXPECT_TRUE(current == boot_volume());

	// Every listed volume is a mounted one, listed once.
	std::vector<std::string> labels = labels_of(menu);
	std::vector<std::string> sorted = labels;
	std::sort(sorted.begin(), sorted.end());
	EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
	menu.Update();
	EXPECT_EQ(labels, labels_of(menu));
}

TEST(LibVolumeMenuTest, SecondVolumesInAPrivateMountNamespace)
{
	if (getenv(kChildVariable) != nullptr)
		GTEST_SKIP() << "already inside the namespace";
	std::string probe;
	if (run({ "unshare", "-Urm", "true" }, {}, &probe) != 0) {
		GTEST_SKIP() << "user and mount namespaces are not permitted here (unshare -Urm: " << probe
					 << ")";
	}

	char self[4096] = {};
	ASSERT_GT(readlink("/proc/self/exe", self, sizeof(self) - 1), 0);
	std::string output;
	int status = run({ "unshare", "-Urm", self, "--gtest_filter=LibVolumeMenuInNamespace.*" },
		{ std::string(kChildVariable) + "=1" }, &output);
	EXPECT_EQ(status, 0) << output;
	EXPECT_NE(output.find("3 tests from 1 test suite ran"), std::string::npos) << output;
	EXPECT_EQ(output.find("[  FAILED  ]"), std::string::npos) << output;
}
