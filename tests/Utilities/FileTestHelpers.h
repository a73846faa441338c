// Helpers for the file-operation tests: files and attributes on disk, tree snapshots that
// compare contents, modes, times, link texts and attributes, running Info-ZIP's tools
// without a shell, and a second volume (a tmpfs in a private mount namespace).
#ifndef TESTS_UTILITIES_FILE_TEST_HELPERS_H
#define TESTS_UTILITIES_FILE_TEST_HELPERS_H

#include <Node.h>

#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <grp.h>
#include <map>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace file_test {

inline void
write_file(const std::string& path, const std::string& contents)
{
	std::ofstream out(path, std::ios::binary | std::ios::trunc);
	out << contents;
}

inline std::string
read_file(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	std::stringstream text;
	text << in.rdbuf();
	return text.str();
}

inline bool
exists(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0;
}

inline std::string
bytes(size_t size, unsigned seed)
{
	std::string data(size, '\0');
	unsigned value = seed * 2654435761u + 1;
	for (size_t i = 0; i < size; i++) {
		value = value * 1103515245u + 12345u;
		data[i] = (char)(value >> 16);
	}
	return data;
}

inline bool
set_attribute(const std::string& path, const char* name, type_code type, const std::string& value)
{
	BNode node(path.c_str());
	node.RemoveAttr(name);
	return node.WriteAttr(name, type, 0, value.data(), value.size()) == (ssize_t)value.size();
}

struct AttributeValue {
	type_code type;
	std::string data;

	bool operator==(const AttributeValue& other) const
	{
		return type == other.type && data == other.data;
	}
};

inline std::map<std::string, AttributeValue>
attributes_of(const std::string& path)
{
	std::map<std::string, AttributeValue> result;
	BNode node(path.c_str());
	char name[B_ATTR_NAME_LENGTH + 1];
	while (node.GetNextAttrName(name) == B_OK) {
		attr_info info;
		if (node.GetAttrInfo(name, &info) != B_OK)
			continue;
		std::string data(info.size, '\0');
		node.ReadAttr(name, info.type, 0, data.data(), data.size());
		result[name] = AttributeValue { info.type, data };
	}
	return result;
}

// Everything about one entry that a faithful copy keeps.
struct EntryState {
	mode_t mode = 0;
	time_t modified = 0;
	std::string contents;
	std::map<std::string, AttributeValue> attributes;

	bool operator==(const EntryState& other) const
	{
		return mode == other.mode && modified == other.modified && contents == other.contents
			&& attributes == other.attributes;
	}
};

inline std::ostream&
operator<<(std::ostream& out, const EntryState& state)
{
	out << "mode " << std::oct << state.mode << std::dec << " modified " << state.modified
		<< " contents " << state.contents.size() << " bytes, attributes";
	for (const auto& [name, value] : state.attributes)
		out << " " << name << "(" << value.data.size() << ")";
	return out;
}

// The tree below root, keyed by path relative to root ("" for root itself).
inline void
snapshot_into(
	const std::string& root, const std::string& relative, std::map<std::string, EntryState>& tree)
{
	std::string path = relative.empty() ? root : root + "/" + relative;
	struct stat st;
	if (lstat(path.c_str(), &st) != 0)
		return;
	EntryState state;
	state.mode = st.st_mode;
	state.modified = st.st_mtime;
	state.attributes = attributes_of(path);
	if (S_ISREG(st.st_mode)) {
		state.contents = read_file(path);
	} else if (S_ISLNK(st.st_mode)) {
		char target[4096];
		ssize_t length = readlink(path.c_str(), target, sizeof(target));
		state.contents.assign(target, length > 0 ? length : 0);
		// Link times are kept but some kernels round them; the text is what counts.
		state.modified = 0;
	}
	tree[relative] = state;
	if (!S_ISDIR(st.st_mode))
		return;
	DIR* folder = opendir(path.c_str());
	if (folder == NULL)
		return;
	std::vector<std::string> names;
	while (struct dirent* entry = readdir(folder)) {
		if (strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0)
			names.push_back(entry->d_name);
	}
	closedir(folder);
	for (const std::string& name : names)
		snapshot_into(root, relative.empty() ? name : relative + "/" + name, tree);
}

inline std::map<std::string, EntryState>
snapshot(const std::string& root)
{
	std::map<std::string, EntryState> tree;
	snapshot_into(root, "", tree);
	return tree;
}

inline void
set_times(const std::string& path, time_t modified, time_t accessed)
{
	struct timespec times[2] = { { accessed, 0 }, { modified, 0 } };
	utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

// Runs a program (no shell) with its output captured; returns its exit status or -1.
inline int
run(const std::vector<std::string>& arguments, std::string* output = NULL,
	const std::string& folder = "")
{
	int pipeFds[2];
	if (pipe(pipeFds) != 0)
		return -1;
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
	posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 2);
	posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
	if (!folder.empty())
		posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(NULL);
	pid_t child;
	int error = posix_spawnp(&child, argv[0], &actions, NULL, argv.data(), environ);
	posix_spawn_file_actions_destroy(&actions);
	close(pipeFds[1]);
	std::string text;
	char buffer[4096];
	ssize_t got;
	while ((got = read(pipeFds[0], buffer, sizeof(buffer))) > 0)
		text.append(buffer, got);
	close(pipeFds[0]);
	if (output != NULL)
		*output = text;
	if (error != 0)
		return -1;
	int status;
	if (waitpid(child, &status, 0) < 0)
		return -1;
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Puts the working directory back when it goes (the archive functions move it).
class WorkingDirectoryKeeper {
public:
	WorkingDirectoryKeeper() { fSaved = getcwd(NULL, 0); }

	~WorkingDirectoryKeeper()
	{
		if (fSaved != NULL && chdir(fSaved) != 0)
			fprintf(stderr, "cannot go back to %s\n", fSaved);
		free(fSaved);
	}

	WorkingDirectoryKeeper(const WorkingDirectoryKeeper&) = delete;
	WorkingDirectoryKeeper& operator=(const WorkingDirectoryKeeper&) = delete;

private:
	char* fSaved;
};

inline std::string
working_directory()
{
	char* path = getcwd(NULL, 0);
	std::string result = path != NULL ? path : "";
	free(path);
	return result;
}

// What a check inside a child process found; failures travel back to the test.
class ChildReport {
public:
	void Check(bool condition, const std::string& what)
	{
		if (!condition)
			fFailures += what + "\n";
	}

	const std::string& Failures() const { return fFailures; }

private:
	std::string fFailures;
};

struct ChildOutcome {
	bool skipped = false;
	std::string text;
	bool passed = false;
};

// Runs body in a child process in which source is mounted at mountPoint (mount(2)'s
// arguments), a mount that only the child sees. Skipped where user and mount namespaces
// are not permitted.
inline ChildOutcome
run_with_mount(const std::string& source, const std::string& mountPoint, const char* type,
	unsigned long flags, const std::string& options, std::function<void(ChildReport&)> body)
{
	ChildOutcome outcome;
	int pipeFds[2];
	if (pipe(pipeFds) != 0) {
		outcome.text = "no pipe";
		return outcome;
	}
	uid_t uid = getuid();
	gid_t gid = getgid();
	fflush(NULL);
	pid_t child = fork();
	if (child == 0) {
		close(pipeFds[0]);
		auto say = [&](const std::string& text) {
			ssize_t ignored = write(pipeFds[1], text.data(), text.size());
			(void)ignored;
		};
		auto write_map = [](const char* file, const std::string& text) {
			int fd = open(file, O_WRONLY);
			if (fd < 0)
				return false;
			bool ok = write(fd, text.data(), text.size()) == (ssize_t)text.size();
			close(fd);
			return ok;
		};
		if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
			say(std::string("user and mount namespaces are not permitted: ") + strerror(errno));
			_exit(77);
		}
		write_map("/proc/self/setgroups", "deny");
		if (!write_map("/proc/self/uid_map", std::to_string(uid) + " " + std::to_string(uid) + " 1")
			|| !write_map(
				"/proc/self/gid_map", std::to_string(gid) + " " + std::to_string(gid) + " 1")) {
			say("cannot map the user into the namespace");
			_exit(77);
		}
		mount(NULL, "/", NULL, MS_REC | MS_PRIVATE, NULL);
		if (mount(source.c_str(), mountPoint.c_str(), type, flags, options.c_str()) != 0) {
			say(std::string("cannot mount ") + source + ": " + strerror(errno));
			_exit(77);
		}
		ChildReport report;
		body(report);
		say(report.Failures());
		_exit(report.Failures().empty() ? 0 : 1);
	}
	close(pipeFds[1]);
	char buffer[4096];
	ssize_t got;
	while ((got = read(pipeFds[0], buffer, sizeof(buffer))) > 0)
		outcome.text.append(buffer, got);
	close(pipeFds[0]);
	int status = 0;
	if (child < 0 || waitpid(child, &status, 0) < 0) {
		outcome.text = "cannot start the child";
		return outcome;
	}
	if (WIFEXITED(status) && WEXITSTATUS(status) == 77) {
		outcome.skipped = true;
		return outcome;
	}
	outcome.passed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
	if (WIFSIGNALED(status))
		outcome.text += "child ended by signal " + std::to_string(WTERMSIG(status));
	return outcome;
}

// Runs body in a child process in which a tmpfs of its own is mounted at mountPoint (with
// the mount options), a second volume that only the child sees.
inline ChildOutcome
run_with_second_volume(const std::string& mountPoint, const std::string& options,
	std::function<void(ChildReport&)> body)
{
	return run_with_mount("none", mountPoint, "tmpfs", 0, options, body);
}

// Runs body in a child process in which folder is seen a second time at mountPoint
// through a bind mount: one file system, two mounts.
inline ChildOutcome
run_with_bind_mount(const std::string& folder, const std::string& mountPoint,
	std::function<void(ChildReport&)> body)
{
	return run_with_mount(folder, mountPoint, NULL, MS_BIND, "", body);
}

// Makes the mount at mountPoint read-only (in a child of run_with_second_volume).
inline bool
mount_read_only(const std::string& mountPoint)
{
	return mount(NULL, mountPoint.c_str(), NULL, MS_REMOUNT | MS_RDONLY, NULL) == 0;
}

// Runs body in a child process as an ordinary user, so that permissions apply as they do
// to users (root passes them by), with a folder of that user's to work in. Not under root:
// the same user, in a fresh folder below folder. Under root the child becomes "nobody"
// (65534) in a mount namespace of its own, where a private tmpfs over /tmp holds the work
// folder (the test's folders lie below folders that only root may search).
inline ChildOutcome
run_as_ordinary_user(
	const std::string& folder, std::function<void(const std::string&, ChildReport&)> body)
{
	ChildOutcome outcome;
	int pipeFds[2];
	if (pipe(pipeFds) != 0) {
		outcome.text = "no pipe";
		return outcome;
	}
	fflush(NULL);
	pid_t child = fork();
	if (child == 0) {
		close(pipeFds[0]);
		auto say = [&](const std::string& text) {
			ssize_t ignored = write(pipeFds[1], text.data(), text.size());
			(void)ignored;
		};
		std::string work = folder + "/work";
		if (geteuid() == 0) {
			const uid_t kNobody = 65534;
			work = "/tmp/work";
			if (unshare(CLONE_NEWNS) != 0 || mount(NULL, "/", NULL, MS_REC | MS_PRIVATE, NULL) != 0
				|| mount("none", "/tmp", "tmpfs", 0, "size=16m,mode=0755") != 0) {
				say(std::string("cannot make a private /tmp: ") + strerror(errno));
				_exit(77);
			}
			if (mkdir(work.c_str(), 0755) != 0 || chown(work.c_str(), kNobody, kNobody) != 0
				|| setgroups(0, NULL) != 0 || setresgid(kNobody, kNobody, kNobody) != 0
				|| setresuid(kNobody, kNobody, kNobody) != 0) {
				say(std::string("cannot become an ordinary user: ") + strerror(errno));
				_exit(77);
			}
		} else if (mkdir(work.c_str(), 0755) != 0) {
			say(std::string("cannot make the work folder: ") + strerror(errno));
			_exit(1);
		}
		ChildReport report;
		body(work, report);
		say(report.Failures());
		_exit(report.Failures().empty() ? 0 : 1);
	}
	close(pipeFds[1]);
	char buffer[4096];
	ssize_t got;
	while ((got = read(pipeFds[0], buffer, sizeof(buffer))) > 0)
		outcome.text.append(buffer, got);
	close(pipeFds[0]);
	int status = 0;
	if (child < 0 || waitpid(child, &status, 0) < 0) {
		outcome.text = "cannot start the child";
		return outcome;
	}
	if (WIFEXITED(status) && WEXITSTATUS(status) == 77) {
		outcome.skipped = true;
		return outcome;
	}
	outcome.passed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
	if (WIFSIGNALED(status))
		outcome.text += "child ended by signal " + std::to_string(WTERMSIG(status));
	return outcome;
}

} // namespace file_test

#endif // TESTS_UTILITIES_FILE_TEST_HELPERS_H
