// Volumes: the roster on this machine, and second volumes (tmpfs, ramfs) mounted in a
// private mount namespace. Those tests run in a child copy of this test program started
// under `unshare -Urm`, so nothing is mounted where the rest of the machine can see it;
// they are registered only in that child.
#include <VolumeRoster.h>

#include <Directory.h>
#include <Entry.h>
#include <EntryRef.h>
#include <FindDirectory.h>
#include <Looper.h>
#include <Message.h>
#include <Node.h>
#include <NodeMonitor.h>
#include <Path.h>
#include <TypeConstants.h>
#include <Volume.h>
#include <fs_info.h>

#include "FolderIndex.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
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

const char kChildVariable[] = "BEINSTALLER_STORAGE_NAMESPACE_CHILD";

dev_t
device_of(const fs::path& path)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0 ? st.st_dev : (dev_t)-1;
}

std::string
volume_name(const BVolume& volume)
{
	char name[B_FILE_NAME_LENGTH] = {};
	volume.GetName(name);
	return name;
}

std::vector<BVolume>
roster_volumes()
{
	BVolumeRoster roster;
	std::vector<BVolume> volumes;
	BVolume volume;
	while (roster.GetNextVolume(&volume) == B_OK)
		volumes.push_back(volume);
	return volumes;
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
		const char* options = "size=16m") :
		fPoint(point)
	{
		fs::create_directories(point);
		fMounted = mount(type, point.c_str(), type, flags, options) == 0;
	}

	~ScopedMount()
	{
		if (fMounted)
			umount(fPoint.c_str());
	}

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

// Collects node-monitor messages on a looper of its own.
class MonitorLooper : public BLooper {
public:
	MonitorLooper() :
		BLooper("mount monitor")
	{
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != B_NODE_MONITOR) {
			BLooper::MessageReceived(message);
			return;
		}
		std::lock_guard<std::mutex> guard(fLock);
		fMessages.push_back(*message);
		fChanged.notify_all();
	}

	// Waits up to five seconds for a message with the opcode.
	bool WaitFor(int32 opcode, BMessage* found)
	{
		std::unique_lock<std::mutex> guard(fLock);
		return fChanged.wait_for(guard, std::chrono::seconds(5), [&] {
			for (const BMessage& message : fMessages) {
				if (message.FindInt32("opcode") == opcode) {
					*found = message;
					return true;
				}
			}
			return false;
		});
	}

	size_t Count()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fMessages.size();
	}

private:
	std::mutex fLock;
	std::condition_variable fChanged;
	std::vector<BMessage> fMessages;
};

// The tests that run inside the namespace.

void
tmpfs_volume_appears_with_its_name_and_flags()
{
	ScopedTempDir temp;
	fs::path point = temp.Path() / "Scratch Disk";
	ScopedMount scratch(point, "tmpfs");
	ASSERT_TRUE(scratch.Mounted());
	dev_t device = device_of(point);

	std::vector<BVolume> volumes = roster_volumes();
	ASSERT_GE(volumes.size(), 2u);
	EXPECT_EQ(volumes[0].Device(), device_of(getenv("HOME")));
	auto found = std::find_if(volumes.begin(), volumes.end(),
		[&](const BVolume& volume) { return volume.Device() == device; });
	ASSERT_NE(found, volumes.end());

	BVolume volume(device);
	EXPECT_EQ(volume_name(volume), "Scratch Disk");
	EXPECT_FALSE(volume.IsPersistent());
	EXPECT_FALSE(volume.IsReadOnly());
	EXPECT_FALSE(volume.IsShared());
	EXPECT_FALSE(volume.IsRemovable());
	EXPECT_FALSE(volume.KnowsQuery());
	EXPECT_EQ(volume.KnowsAttr(), keeps_user_xattrs(point));
	EXPECT_EQ(volume.Capacity(), 16 * 1024 * 1024);
	EXPECT_GT(volume.FreeBytes(), 0);

	BDirectory root;
	ASSERT_EQ(volume.GetRootDirectory(&root), B_OK);
	EXPECT_TRUE(root.IsRootDirectory());
	BEntry rootEntry;
	root.GetEntry(&rootEntry);
	EXPECT_EQ(BPath(&rootEntry), BPath(fs::canonical(point).c_str()));

	fs_info info;
	ASSERT_EQ(fs_stat_dev(device, &info), B_OK);
	EXPECT_STREQ(info.fsh_name, "tmpfs");
	EXPECT_STREQ(info.volume_name, "Scratch Disk");
	EXPECT_EQ(info.flags & (B_FS_IS_PERSISTENT | B_FS_IS_READONLY), 0u);
	EXPECT_EQ(dev_for_path(point.c_str()), device);

	ScopedMount readOnly(temp.Path() / "frozen", "tmpfs", MS_RDONLY);
	ASSERT_TRUE(readOnly.Mounted());
	BVolume frozen(device_of(temp.Path() / "frozen"));
	EXPECT_TRUE(frozen.IsReadOnly());
	ASSERT_EQ(fs_stat_dev(frozen.Device(), &info), B_OK);
	EXPECT_NE(info.flags & B_FS_IS_READONLY, 0u);

	BVolume boot;
	BVolumeRoster roster;
	ASSERT_EQ(roster.GetBootVolume(&boot), B_OK);
	EXPECT_TRUE(boot == volumes[0]);
	EXPECT_TRUE(boot != volume);
}

void
names_stay_unique_in_the_listing()
{
	ScopedTempDir temp;
	ScopedMount first(temp.Path() / "a/Data", "tmpfs");
	ScopedMount second(temp.Path() / "b/Data", "tmpfs");
	ASSERT_TRUE(first.Mounted() && second.Mounted());

	std::vector<std::string> names;
	for (const BVolume& volume : roster_volumes())
		names.push_back(volume_name(volume));
	std::vector<std::string> sorted = names;
	std::sort(sorted.begin(), sorted.end());
	EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());

	EXPECT_EQ(volume_name(BVolume(device_of(temp.Path() / "a/Data"))), "Data");
	EXPECT_EQ(volume_name(BVolume(device_of(temp.Path() / "b/Data"))), "Data 2");
}

void
volume_without_attributes_says_so()
{
	ScopedTempDir temp;
	fs::path point = temp.Path() / "plain";
	ScopedMount plain(point, "ramfs", 0, "");
	ASSERT_TRUE(plain.Mounted());
	BVolume volume(device_of(point));
	EXPECT_FALSE(volume.KnowsAttr());
	EXPECT_FALSE(volume.KnowsMime());

	std::ofstream(point / "file") << "x";
	fs::create_symlink("file", point / "link");
	for (const char* name : { "file", "link" }) {
		BNode node((point / name).c_str());
		ASSERT_EQ(node.InitCheck(), B_OK);
		EXPECT_EQ(node.WriteAttr("a", B_RAW_TYPE, 0, "1", 1), B_NOT_SUPPORTED) << name;
		char buffer[4];
		EXPECT_EQ(node.ReadAttr("a", B_RAW_TYPE, 0, buffer, 1), B_ENTRY_NOT_FOUND) << name;
		EXPECT_EQ(node.GetNextAttrName(buffer), B_ENTRY_NOT_FOUND) << name;
		EXPECT_EQ(node.SetCreationTime(86400), B_NOT_SUPPORTED) << name;
	}
}

void
large_attributes_round_trip_where_the_file_system_allows()
{
	ScopedTempDir temp;
	fs::path point = temp.Path() / "big";
	ScopedMount big(point, "tmpfs");
	ASSERT_TRUE(big.Mounted());
	if (!keeps_user_xattrs(point))
		GTEST_SKIP() << "this kernel's tmpfs keeps no user xattrs";

	std::ofstream(point / "file") << "x";
	fs::create_directory(point / "folder");
	fs::create_symlink("file", point / "link");
	std::vector<char> bytes(65536);
	for (size_t i = 0; i < bytes.size(); i++)
		bytes[i] = (char)(i % 251);

	for (const char* name : { "file", "folder", "link" }) {
		BNode node((point / name).c_str());
		ASSERT_EQ(node.WriteAttr("big", B_MESSAGE_TYPE, 0, bytes.data(), bytes.size()), 65536)
			<< name;
		attr_info info;
		ASSERT_EQ(node.GetAttrInfo("big", &info), B_OK);
		EXPECT_EQ(info.size, 65536);
		EXPECT_EQ(info.type, (uint32)B_MESSAGE_TYPE);
		std::vector<char> read(65536);
		EXPECT_EQ(node.ReadAttr("big", 0, 0, read.data(), read.size()), 65536);
		EXPECT_TRUE(read == bytes) << name;
	}
}

void
standard_folders_rebase_onto_a_second_volume()
{
	ScopedTempDir temp;
	fs::path point = temp.Path() / "second";
	ScopedMount second(point, "tmpfs");
	ASSERT_TRUE(second.Mounted());
	BVolume volume(device_of(point));
	ASSERT_EQ(volume.InitCheck(), B_OK);
	std::string mount = point.string();
	std::string home = getenv("HOME");

	auto find = [&](directory_which which, bool create = false) {
		BPath path;
		status_t status = find_directory(which, &path, create, &volume);
		return status == B_OK ? std::string(path.Path()) : "error " + std::to_string(status);
	};

	// Without a home folder on the volume, user folders go under its mount point.
	EXPECT_EQ(find(B_USER_DIRECTORY), mount);
	fs::create_directory(point / "home");
	const std::pair<directory_which, std::string> rows[] = {
		{ B_USER_DIRECTORY, mount + "/home" },
		{ B_USER_SETTINGS_DIRECTORY, mount + "/home/.config/settings" },
		{ B_USER_BOOT_DIRECTORY, mount + "/home/.config/boot" },
		{ B_DESKTOP_DIRECTORY, mount + "/home/Desktop" },
		{ B_APPS_DIRECTORY, mount + "/home/Applications" },
		{ B_USER_FONTS_DIRECTORY, mount + "/home/.local/share/fonts" },
		{ B_COMMON_BIN_DIRECTORY, mount + "/usr/local/bin" },
		{ B_BEOS_ETC_DIRECTORY, mount + "/etc" },
		{ B_COMMON_TEMP_DIRECTORY, mount + getenv("TMPDIR") },
		{ B_TRASH_DIRECTORY, mount + "/.Trash-" + std::to_string(getuid()) + "/files" },
	};
	for (const auto& [which, expected] : rows)
		EXPECT_EQ(find(which), expected) << "code " << which;

	// A folder the environment keeps outside HOME takes its usual place.
	std::string saved = getenv("XDG_CONFIG_HOME");
	setenv("XDG_CONFIG_HOME", (temp.Path() / "elsewhere").c_str(), 1);
	EXPECT_EQ(find(B_USER_SETTINGS_DIRECTORY), mount + "/home/.config/settings");
	setenv("XDG_CONFIG_HOME", saved.c_str(), 1);

	EXPECT_EQ(find(B_TRASH_DIRECTORY, true), rows[9].second);
	EXPECT_TRUE(fs::is_directory(rows[9].second));
	EXPECT_EQ(fs::status(point / (".Trash-" + std::to_string(getuid()))).permissions(),
		fs::perms::owner_all);

	// The boot volume gives the unrebased table.
	BVolume boot(device_of(home));
	BPath path;
	ASSERT_EQ(find_directory(B_USER_DIRECTORY, &path, false, &boot), B_OK);
	EXPECT_EQ(std::string(path.Path()), home);
	char buffer[B_PATH_NAME_LENGTH];
	ASSERT_EQ(
		find_directory(B_USER_DIRECTORY, volume.Device(), false, buffer, sizeof(buffer)), B_OK);
	EXPECT_EQ(std::string(buffer), mount + "/home");
}

void
entries_cross_to_the_second_volume_only_by_copying()
{
	ScopedTempDir temp;
	fs::path point = temp.Path() / "other";
	ScopedMount other(point, "tmpfs");
	ASSERT_TRUE(other.Mounted());
	fs::create_directories(point / "x/y");
	std::ofstream(point / "x/y/file") << "x";

	// A reference on the second volume resolves by searching it.
	entry_ref ref;
	ASSERT_EQ(get_ref_for_path((point / "x/y/file").c_str(), &ref), B_OK);
	BPrivate::forget_folders();
	BEntry entry(&ref);
	ASSERT_EQ(entry.InitCheck(), B_OK);
	EXPECT_EQ(BPath(&entry), BPath((fs::canonical(point) / "x/y/file").c_str()));

	// A rename cannot leave its volume; a link keeps its attributes where it was.
	BDirectory home(temp.Path().c_str());
	EXPECT_EQ(entry.MoveTo(&home), B_CROSS_DEVICE_LINK);
	fs::create_symlink("file", point / "x/y/link");
	BNode link((point / "x/y/link").c_str());
	if (link.WriteAttr("a", B_RAW_TYPE, 0, "1", 1) == 1) {
		BEntry linkEntry((point / "x/y/link").c_str());
		EXPECT_EQ(linkEntry.MoveTo(&home), B_CROSS_DEVICE_LINK);
		attr_info info;
		EXPECT_EQ(link.GetAttrInfo("a", &info), B_OK);
	}
}

void
mounts_and_unmounts_are_announced()
{
	ScopedTempDir temp;
	fs::path point = temp.Path() / "arriving";
	fs::create_directories(point);
	struct stat covered;
	ASSERT_EQ(stat(point.c_str(), &covered), 0);

	MonitorLooper* looper = new MonitorLooper;
	looper->Run();
	BVolumeRoster roster;
	ASSERT_EQ(roster.StartWatching(BMessenger(looper)), B_OK);
	EXPECT_TRUE(roster.Messenger() == BMessenger(looper));

	dev_t device;
	{
		ScopedMount arriving(point, "tmpfs");
		ASSERT_TRUE(arriving.Mounted());
		device = device_of(point);
		BMessage mounted;
		ASSERT_TRUE(looper->WaitFor(B_DEVICE_MOUNTED, &mounted));
		EXPECT_EQ(mounted.FindInt32("new device"), (int32)device);
		EXPECT_EQ(mounted.FindInt32("device"), (int32)covered.st_dev);
		EXPECT_EQ(mounted.FindInt64("directory"), (int64)covered.st_ino);
	}
	BMessage unmounted;
	ASSERT_TRUE(looper->WaitFor(B_DEVICE_UNMOUNTED, &unmounted));
	EXPECT_EQ(unmounted.FindInt32("device"), (int32)device);

	roster.StopWatching();
	if (looper->Lock())
		looper->Quit();
}

// watch_node() without a node watches mounts for a messenger until stop_watching().
void
watch_node_announces_mounts_until_stop_watching()
{
	ScopedTempDir temp;
	fs::path first = temp.Path() / "first";
	fs::path second = temp.Path() / "second";
	fs::create_directories(first);
	fs::create_directories(second);

	MonitorLooper* looper = new MonitorLooper;
	looper->Run();
	BMessenger target(looper);
	ASSERT_EQ(watch_node(NULL, B_WATCH_MOUNT, target), B_OK);
	// Watching again changes nothing: each change is announced once.
	ASSERT_EQ(watch_node(NULL, B_WATCH_MOUNT, target), B_OK);

	dev_t device;
	{
		ScopedMount arriving(first, "tmpfs");
		ASSERT_TRUE(arriving.Mounted());
		device = device_of(first);
		BMessage mounted;
		ASSERT_TRUE(looper->WaitFor(B_DEVICE_MOUNTED, &mounted));
		EXPECT_EQ(mounted.what, (uint32)B_NODE_MONITOR);
		EXPECT_EQ(mounted.FindInt32("opcode"), B_DEVICE_MOUNTED);
		EXPECT_EQ(mounted.FindInt32("new device"), (int32)device);
	}
	BMessage unmounted;
	ASSERT_TRUE(looper->WaitFor(B_DEVICE_UNMOUNTED, &unmounted));
	EXPECT_EQ(unmounted.FindInt32("opcode"), B_DEVICE_UNMOUNTED);
	EXPECT_EQ(unmounted.FindInt32("device"), (int32)device);
	EXPECT_EQ(looper->Count(), 2u);

	EXPECT_EQ(stop_watching(target), B_OK);
	EXPECT_EQ(stop_watching(target), B_BAD_VALUE);
	{
		ScopedMount later(second, "tmpfs");
		ASSERT_TRUE(later.Mounted());
		snooze(300000);
	}
	snooze(100000);
	EXPECT_EQ(looper->Count(), 2u) << "nothing after stop_watching()";
	if (looper->Lock())
		looper->Quit();
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
		{ "TmpfsVolumeAppearsWithItsNameAndFlags", tmpfs_volume_appears_with_its_name_and_flags },
		{ "NamesStayUniqueInTheListing", names_stay_unique_in_the_listing },
		{ "VolumeWithoutAttributesSaysSo", volume_without_attributes_says_so },
		{ "LargeAttributesRoundTripWhereTheFileSystemAllows",
			large_attributes_round_trip_where_the_file_system_allows },
		{ "StandardFoldersRebaseOntoASecondVolume", standard_folders_rebase_onto_a_second_volume },
		{ "EntriesCrossToTheSecondVolumeOnlyByCopying",
			entries_cross_to_the_second_volume_only_by_copying },
		{ "MountsAndUnmountsAreAnnounced", mounts_and_unmounts_are_announced },
		{ "WatchNodeAnnouncesMountsUntilStopWatching",
			watch_node_announces_mounts_until_stop_watching },
	};
	for (const auto& entry : cases) {
		void (*body)() = entry.body;
		testing::RegisterTest("BVolumeRosterInNamespace", entry.name, nullptr, nullptr, __FILE__,
			__LINE__, [body]() -> NamespaceCase* { return new NamespaceCase(body); });
	}
	return true;
}();

} // namespace

TEST(BVolumeRoster, ListsTheBootVolumeFirstOnThisMachine)
{
	std::vector<BVolume> volumes = roster_volumes();
	ASSERT_FALSE(volumes.empty());
	EXPECT_EQ(volumes[0].Device(), device_of(getenv("HOME")));
	for (const BVolume& volume : volumes) {
		EXPECT_FALSE(volume_name(volume).empty());
		fs_info info;
		EXPECT_EQ(fs_stat_dev(volume.Device(), &info), B_OK);
		EXPECT_NE(info.fsh_name[0], '\0');
	}

	int32 cookie = 0;
	EXPECT_EQ(next_dev(&cookie), volumes[0].Device());
	BVolume pseudo(device_of("/proc"));
	EXPECT_EQ(pseudo.InitCheck(), B_BAD_VALUE);
	EXPECT_LT((int64)dev_for_path("/no/such/path"), 0);
}

TEST(BVolumeRoster, SecondVolumesInAPrivateMountNamespace)
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
	int status = run({ "unshare", "-Urm", self, "--gtest_filter=BVolumeRosterInNamespace.*" },
		{ std::string(kChildVariable) + "=1" }, &output);
	EXPECT_EQ(status, 0) << output;
	EXPECT_NE(output.find("8 tests from 1 test suite ran"), std::string::npos) << output;
	EXPECT_EQ(output.find("[  FAILED  ]"), std::string::npos) << output;
}

TEST(BVolumeRoster, WatchNodeRefusesWhatItCannotWatch)
{
	MonitorLooper* looper = new MonitorLooper;
	looper->Run();
	BMessenger target(looper);
	node_ref node;
	EXPECT_EQ(watch_node(&node, B_WATCH_NAME, target), B_NOT_SUPPORTED);
	EXPECT_EQ(watch_node(NULL, B_WATCH_NAME, target), B_BAD_VALUE);
	EXPECT_EQ(watch_node(NULL, B_WATCH_MOUNT, BMessenger()), B_BAD_VALUE);
	EXPECT_EQ(stop_watching(target), B_BAD_VALUE);
	EXPECT_EQ(watch_node(NULL, B_WATCH_MOUNT, target), B_OK);
	EXPECT_EQ(watch_node(NULL, B_STOP_WATCHING, target), B_OK);
	EXPECT_EQ(stop_watching(target), B_BAD_VALUE);
	if (looper->Lock())
		looper->Quit();
}
