// Installs killed at random instants. A package of 200 items with links, custom folders,
// collisions and script sections is installed by the real Installer, unattended, in a home
// of its own on a volume of its own; the installer is killed (SIGKILL) at a random instant,
// then the deinstaller the installation wrote runs unattended. Each time: every user script
// holds its old text plus whole sections (never a part of one) and the shell parses it; every
// entry the install made outside the installation folder carries the installation tag; after
// the deinstall nothing tagged is left outside the Trash.
//
// Ten trials by default. BEINSTALLER_CRASH_TRIALS sets another count (the long form runs 100)
// and BEINSTALLER_CRASH_SEED repeats the instants of an earlier run; the seed is printed.
#include "EngineTestSupport.h"

#include "InstallConfig.h"
#include "RunProgram.h"
#include "SessionScripts.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace engine_test;

namespace {

const int kItemCount = 200;
const char kTag[] = "Crash;1.0;June 2, 2026;Crash Works;crash@example.test;";
const char kBootContents[] = "echo \"crash kit boot\" > /dev/null";
const char kEnvironmentContents[] = "export CRASH_KIT=\"$HOME/Crash Kit\"";
const char kProfileContents[] = "alias crashkit='echo crash kit'";
const char kUserBootscript[] = "# my boot script\necho mine\n";
const char kUserProfile[] = "PATH=\"$PATH:/opt/mine\"\n";

// The payload and manifest: files and folders (each folder with a nested folder and a
// relative link inside) going to the installation folder, a custom folder two levels deep
// and a standard folder that does not exist yet; links into another custom folder, the
// Deskbar folder and the Desktop.
std::string
write_package_sources(const fs::path& folder)
{
	fs::path payload = folder / "payload";
	std::string manifest = "[product]\nname = \"Crash\"\nversion = \"1.0\"\n"
						   "release_date = \"June 2, 2026\"\ncompany = \"Crash Works\"\n"
						   "support_email = \"crash@example.test\"\n"
						   "[options]\ncreated_folder = \"Crash\"\nlog = true\n"
						   "create_startup = true\nsave_replaced = true\n";
	manifest += "[scripts.bootscript]\ntag = \"Crash_Boot\"\ncontents = '"
		+ std::string(kBootContents) + "'\n";
	manifest += "[scripts.setup_environment]\ntag = \"Crash_Env\"\ncontents = '"
		+ std::string(kEnvironmentContents) + "'\n";
	manifest += "[scripts.profile]\ntag = \"Crash_Profile\"\ncontents = \""
		+ std::string(kProfileContents) + "\"\n";
	manifest += "[[custom_folders]]\nname = \"StartUp\"\nroot = \"User Boot\"\n"
				"sub_dir = \"Crash StartUp\"\nreplace = false\n"
				"[[custom_folders]]\nname = \"Kit\"\nroot = \"User\"\nsub_dir = \"Crash Kit/lib\"\n"
				"replace = false\n"
				"[[custom_folders]]\nname = \"Links\"\nroot = \"User\"\n"
				"sub_dir = \"Crash Links\"\nreplace = false\n";
	const char* destinations[] = { "User Selected", "Kit", "Applications" };
	const char* links[] = { "Links", "User Deskbar", "Desktop", "None", "None" };
	for (int i = 0; i < kItemCount; i++) {
		fs::path item;
		if (i % 4 == 0) {
			item = payload / ("folder-" + std::to_string(i));
			write_text(item / "a.txt", "first file of " + std::to_string(i) + "\n");
			write_text(item / "inner/b.txt", std::string(2000 + i, 'b'));
			fs::create_symlink("inner/b.txt", item / "to-b");
		} else {
			item = payload / ("file-" + std::to_string(i) + ".txt");
			write_text(item, std::string(500 + 7 * i, 'f'));
		}
		manifest += "[[items]]\npath = \"" + item.string() + "\"\ndestination = \""
			+ destinations[i % 3] + "\"\ndestination_exists = \""
			+ (i % 2 == 0 ? "Rename" : "Replace") + "\"\nlink = \"" + links[i % 5]
			+ "\"\nlink_exists = \"Replace\"\n";
	}
	fs::path manifestPath = folder / "crash.toml";
	write_text(manifestPath, manifest);
	return manifestPath.string();
}

// The home as a user has it before the install: the usual folders, a boot script and a
// profile of the user's own, and entries of the user's where some items and links go.
void
make_user_home(const fs::path& home)
{
	for (const char* folder : { ".config/boot", ".local/share", "Desktop", "Programs" })
		fs::create_directories(home / folder);
	write_text(home / ".config/boot/UserBootscript", kUserBootscript);
	write_text(home / ".profile", kUserProfile);
	write_text(home / "Desktop/file-2.txt", "the user's own file\n");
	write_text(home / "Desktop/file-7.txt", "the user's own file\n");
	write_text(home / "Applications/file-2.txt", "the user's own file\n");
}

struct NodeId {
	dev_t device;
	ino_t inode;

	bool operator<(const NodeId& other) const
	{
		return device != other.device ? device < other.device : inode < other.inode;
	}
};

// Every node below root (links not followed), root itself included.
std::set<NodeId>
nodes_below(const fs::path& root)
{
	std::set<NodeId> nodes;
	struct stat status;
	if (lstat(root.c_str(), &status) == 0)
		nodes.insert({ status.st_dev, status.st_ino });
	std::error_code error;
	for (fs::recursive_directory_iterator it(root, error), end; it != end; it.increment(error)) {
		if (lstat(it->path().c_str(), &status) == 0)
			nodes.insert({ status.st_dev, status.st_ino });
	}
	return nodes;
}

bool
starts_with(const std::string& text, const std::string& prefix)
{
	return text.compare(0, prefix.size(), prefix) == 0;
}

// Whether text is original followed by whole blocks, each of blocks at most once, in any
// order; a script that did not end a line gets one line feed first.
bool
is_original_plus_blocks(
	const std::string& text, const std::string& original, const std::vector<std::string>& blocks)
{
	if (!starts_with(text, original))
		return false;
	size_t at = original.size();
	if ((original.empty() || original.back() != '\n') && at < text.size() && text[at] == '\n')
		at++;
	std::set<size_t> used;
	while (at < text.size()) {
		bool matched = false;
		for (size_t i = 0; i < blocks.size() && !matched; i++) {
			if (used.count(i) == 0 && text.compare(at, blocks[i].size(), blocks[i]) == 0) {
				used.insert(i);
				at += blocks[i].size();
				matched = true;
			}
		}
		if (!matched)
			return false;
	}
	return true;
}

// Whether leaf is named like the file a whole replacement writes before its rename:
// "." + a script's name + "." + 16 hexadecimal digits.
bool
is_replacement_leftover(const std::string& leaf)
{
	for (const char* script : { "UserBootscript", "UserSetupEnvironment", ".profile",
			 "UserBootscript.orig", "UserSetupEnvironment.orig", ".profile.orig" }) {
		std::string prefix = std::string(".") + script + ".";
		if (leaf.size() == prefix.size() + 16 && starts_with(leaf, prefix)
			&& leaf.find_first_not_of("0123456789abcdef", prefix.size()) == std::string::npos) {
			return true;
		}
	}
	return false;
}

std::string
section(const std::string& tag, const std::string& contents)
{
	return "#BEGIN_" + tag + "\n" + contents + "\n#END_" + tag + "\n";
}

struct Trial {
	int number;
	int delayMicroseconds;
};

class CrashHarness : public testing::Test {
protected:
	void SetUp() override
	{
		std::string manifest = write_package_sources(fDir.Path());
		fPackage = (fDir.Path() / "Crash-Installer").string();
		ProgramResult built =
			RunProgram({ BEINSTALLER_PACKAGE_BUILDER, "build", manifest, "-o", fPackage });
		ASSERT_EQ(built.exitCode, 0) << built.err;
	}

	std::map<std::string, std::string> Environment(const fs::path& root) const
	{
		fs::path home = root / "home";
		return {
			{ "HOME", home.string() },
			{ "XDG_CONFIG_HOME", (home / ".config").string() },
			{ "XDG_DATA_HOME", (home / ".local/share").string() },
			{ "XDG_CACHE_HOME", (home / ".cache").string() },
			{ "XDG_DESKTOP_DIR", (home / "Desktop").string() },
			{ "TMPDIR", (root / "tmp").string() },
			{ "DISPLAY", "" },
			{ "WAYLAND_DISPLAY", "" },
			{ "QT_QPA_PLATFORM", "" },
		};
	}

	std::vector<std::string> InstallCommand(const fs::path& home) const
	{
		return { fPackage, "--unattended", "--accept-licence", "--folder",
			(home / "Programs").string() };
	}

	// Starts the installer and kills it after delay; true when it was still running then.
	bool InstallAndKill(const fs::path& root, std::chrono::microseconds delay)
	{
		std::vector<std::string> variables;
		for (char** entry = environ; *entry != nullptr; entry++) {
			std::string variable(*entry);
			std::string name = variable.substr(0, variable.find('='));
			if (fOverridden.count(name) == 0)
				variables.push_back(variable);
		}
		for (const auto& [name, value] : Environment(root)) {
			if (!value.empty())
				variables.push_back(name + "=" + value);
		}
		std::vector<std::string> arguments = InstallCommand(root / "home");
		std::vector<char*> argv;
		for (std::string& argument : arguments)
			argv.push_back(argument.data());
		argv.push_back(nullptr);
		std::vector<char*> envp;
		for (std::string& variable : variables)
			envp.push_back(variable.data());
		envp.push_back(nullptr);

		pid_t child = fork();
		if (child == 0) {
			int null = open("/dev/null", O_RDWR);
			dup2(null, 0);
			dup2(null, 1);
			dup2(null, 2);
			execve(argv[0], argv.data(), envp.data());
			_exit(127);
		}
		if (child < 0)
			return false;
		std::this_thread::sleep_for(delay);
		int status = 0;
		bool running = waitpid(child, &status, WNOHANG) == 0;
		if (running) {
			kill(child, SIGKILL);
			waitpid(child, &status, 0);
		}
		return running;
	}

	// What is wrong with the user scripts now (empty when each is its old text plus whole
	// sections and the shell parses it).
	std::string CheckScripts(const fs::path& root)
	{
		fs::path home = root / "home";
		fs::path boot = home / ".config/boot";
		LibString startup;
		InstallConfig::BuildStartupString((boot / "Crash StartUp").c_str(), startup);
		std::string environmentScript = (boot / "UserSetupEnvironment").string();

		struct Script {
			fs::path path;
			std::string original;
			std::vector<std::string> blocks;
		} const scripts[] = {
			{ boot / "UserBootscript", kUserBootscript,
				{ section("StartUpFolder", static_cast<const char*>(startup)),
					section("Crash_Boot", kBootContents) } },
			{ boot / "UserSetupEnvironment", "", { section("Crash_Env", kEnvironmentContents) } },
			{ home / ".profile", kUserProfile,
				{ section("Crash_Profile", kProfileContents),
					"# Read the user environment script of the boot folder\n"
						+ EnvironmentScriptProfileLine(environmentScript.c_str()) + "\n" } },
		};

		std::string problems;
		for (const Script& script : scripts) {
			if (!exists_entry(script.path))
				continue;
			std::string text = read_text(script.path);
			if (!is_original_plus_blocks(text, script.original, script.blocks))
				problems += script.path.string() + " is not its old text plus whole sections:\n"
					+ text + "\n";
			ProgramResult parsed = RunProgram({ "/bin/sh", "-n", script.path.string() });
			if (parsed.exitCode != 0)
				problems += script.path.string() + " does not parse: " + parsed.err + "\n";
		}
		fs::path autostart = home / ".config/autostart" / kBootScriptAutostartName;
		if (exists_entry(autostart)
			&& read_text(autostart)
				!= BootScriptAutostartEntry((boot / "UserBootscript").c_str())) {
			problems += "the autostart entry is incomplete\n";
		}
		return problems;
	}

	// The entries below home that are not in before, outside the installation folder, that
	// carry no tag. The session's scripts and their hooks are edited in place of the user's
	// own and checked above instead.
	std::string UntaggedNewEntries(const fs::path& home, const std::set<NodeId>& before)
	{
		const std::set<fs::path> skipped = { home / "Programs/Crash", home / ".local/share/Trash",
			home / ".config/autostart" };
		std::string problems;
		std::error_code error;
		for (fs::recursive_directory_iterator it(home, error), end; it != end;
			 it.increment(error)) {
			const fs::path& path = it->path();
			if (skipped.count(path) > 0) {
				it.disable_recursion_pending();
				continue;
			}
			struct stat status;
			if (lstat(path.c_str(), &status) != 0 || before.count({ status.st_dev, status.st_ino }))
				continue;
			std::string leaf = path.filename().string();
			// The scripts, their backups, and what a replacement stopped before its rename
			// left beside them (the next edit, the deinstaller's, removes it).
			bool script = path.parent_path() == home / ".config/boot"
				&& (starts_with(leaf, "UserBootscript") || starts_with(leaf, "UserSetupEnvironment")
					|| is_replacement_leftover(leaf));
			if (script
				|| (path.parent_path() == home
					&& (starts_with(leaf, ".profile") || is_replacement_leftover(leaf)))) {
				continue;
			}
			if (install_tag(path) != kTag)
				problems += "untagged: " + path.string() + "\n";
		}
		return problems;
	}

	// What the deinstall left: tagged entries outside the Trash, and leftovers of a stopped
	// script replacement (its own edits remove them).
	std::string LeftAfterDeinstall(const fs::path& home)
	{
		std::string found;
		std::error_code error;
		for (fs::recursive_directory_iterator it(home, error), end; it != end;
			 it.increment(error)) {
			if (it->path() == home / ".local/share/Trash") {
				it.disable_recursion_pending();
				continue;
			}
			if (install_tag(it->path()) == kTag)
				found += "left tagged: " + it->path().string() + "\n";
			if (is_replacement_leftover(it->path().filename().string()))
				found += "left beside a script: " + it->path().string() + "\n";
		}
		return found;
	}

	ScopedTempDir fDir;
	std::string fPackage;
	const std::set<std::string> fOverridden = { "HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
		"XDG_CACHE_HOME", "XDG_DESKTOP_DIR", "TMPDIR", "DISPLAY", "WAYLAND_DISPLAY",
		"QT_QPA_PLATFORM" };
};

int
number_from_environment(const char* name, int fallback)
{
	const char* text = getenv(name);
	if (text == nullptr || text[0] == '\0')
		return fallback;
	return atoi(text);
}

} // namespace

TEST_F(CrashHarness, AnInstallKilledAtAnyInstantLeavesScriptsWholeAndEveryPlacedEntryTagged)
{
	int trials = number_from_environment("BEINSTALLER_CRASH_TRIALS", 10);
	unsigned seed = (unsigned)number_from_environment("BEINSTALLER_CRASH_SEED",
		(int)(std::chrono::steady_clock::now().time_since_epoch().count() & 0x7fffffff));
	std::printf("crash harness: %d trials, seed %u\n", trials, seed);

	fs::path mount = fDir.Path() / "volume";
	fs::create_directories(mount);
	file_test::ChildOutcome outcome = file_test::run_with_second_volume(
		mount.string(), "size=256m", [&](file_test::ChildReport& report) {
			int killed = 0;
			int finished = 0;
			int deinstalled = 0;
			std::chrono::microseconds span(0);
			// One trial: a fresh home, the install (killed after delay when one is given),
			// the checks, the deinstall and the checks again.
			auto run_trial = [&](const std::string& name, const std::string& trial,
								 std::optional<long> delay) {
				fs::path root = mount / name;
				fs::path home = root / "home";
				make_user_home(home);
				fs::create_directories(root / "tmp");
				std::set<NodeId> before = nodes_below(home);

				if (!delay) {
					auto started = std::chrono::steady_clock::now();
					ProgramResult whole = RunProgram(InstallCommand(home), Environment(root));
					span = std::chrono::duration_cast<std::chrono::microseconds>(
						std::chrono::steady_clock::now() - started);
					report.Check(whole.exitCode == 0
							&& whole.out.find("Items not installed: 0\n") != std::string::npos,
						trial + "the install ends with 0 and installs everything: " + whole.out
							+ whole.err);
					report.Check(read_text(home / ".config/boot/UserBootscript") != kUserBootscript,
						trial + "the install adds its sections");
				} else if (InstallAndKill(root, std::chrono::microseconds(*delay)))
					killed++;
				else
					finished++;
				std::string scripts = CheckScripts(root);
				report.Check(scripts.empty(), trial + scripts);
				std::string untagged = UntaggedNewEntries(home, before);
				report.Check(untagged.empty(), trial + untagged);

				fs::path deinstaller = home / "Programs/Crash/Crash 1.0 Deinstaller";
				if (exists_entry(deinstaller)) {
					ProgramResult removed =
						RunProgram({ deinstaller.string(), "--unattended" }, Environment(root));
					// 1: nothing found, 3: the kill came before its configuration was written.
					bool expected = removed.exitCode == 0
						|| (delay && (removed.exitCode == 1 || removed.exitCode == 3));
					report.Check(expected,
						trial + "the deinstaller ends with " + std::to_string(removed.exitCode)
							+ ": " + removed.err);
					if (removed.exitCode == 0)
						deinstalled++;
				}
				std::string left = LeftAfterDeinstall(home);
				report.Check(left.empty(), trial + left);
				scripts = CheckScripts(root);
				report.Check(scripts.empty(), trial + "after the deinstall: " + scripts);
				// The next trial's deinstaller searches the same volume.
				fs::remove_all(root);
			};

			// The whole install, uninterrupted, is checked the same way and gives the span
			// the kills fall into.
			run_trial("whole", "the whole install: ", std::nullopt);

			std::mt19937 random(seed);
			std::uniform_int_distribution<long> instant(0, (long)span.count());
			for (int number = 1; number <= trials; number++) {
				long delay = instant(random);
				run_trial("trial-" + std::to_string(number),
					"trial " + std::to_string(number) + " (seed " + std::to_string(seed)
						+ ", kill after " + std::to_string(delay) + " us): ",
					delay);
			}
			std::printf("crash harness: %d trials, %d killed during the install, %d finished "
						"before the kill, %d deinstalls removed items; whole install %ld ms\n",
				trials, killed, finished, deinstalled, (long)(span.count() / 1000));
			std::fflush(stdout);
		});
	if (outcome.skipped)
		GTEST_SKIP() << outcome.text;
	EXPECT_TRUE(outcome.passed) << outcome.text;
}
