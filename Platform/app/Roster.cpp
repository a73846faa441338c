#include <Roster.h>

#include <AppFileInfo.h>
#include <Entry.h>
#include <File.h>
#include <FindDirectory.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <MimeType.h>
#include <NodeInfo.h>
#include <Path.h>

#include "MessengerPrivate.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <mutex>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

const char* const kOpenerVariable = "BEINSTALLER_DESKTOP_OPENER";
const char* const kDefaultOpener = "xdg-open";
// Applications live in folders of their own below the Applications folder, but not deep.
const int kMaxApplicationDepth = 3;

const BRoster sRoster;

bool
is_executable_file(const std::string& path)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::string
find_on_path(const std::string& name)
{
	const char* path = getenv("PATH");
	if (path == nullptr)
		return "";
	std::string list(path);
	size_t start = 0;
	while (start <= list.size()) {
		size_t end = list.find(':', start);
		if (end == std::string::npos)
			end = list.size();
		std::string folder = list.substr(start, end - start);
		if (!folder.empty()) {
			std::string candidate = folder + "/" + name;
			if (is_executable_file(candidate))
				return candidate;
		}
		start = end + 1;
	}
	return "";
}

// The signature an executable carries in its resources or attributes.
bool
signature_of(const std::string& path, char* signature)
{
	BFile file(path.c_str(), B_READ_ONLY);
	if (file.InitCheck() != B_OK)
		return false;
	BAppFileInfo info(&file);
	return info.InitCheck() == B_OK && info.GetSignature(signature) == B_OK;
}

// Walks folder (to depth levels) for an executable with that signature.
bool
search_folder(const std::string& folder, const char* signature, int depth,
	std::set<std::string>& visited, std::string* found)
{
	char canonical[PATH_MAX];
	if (realpath(folder.c_str(), canonical) == nullptr || !visited.insert(canonical).second)
		return false;
	DIR* dir = opendir(folder.c_str());
	if (dir == nullptr)
		return false;
	std::vector<std::string> folders;
	bool result = false;
	while (struct dirent* entry = readdir(dir)) {
		if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
			continue;
		std::string path = folder + "/" + entry->d_name;
		struct stat st;
		if (stat(path.c_str(), &st) != 0)
			continue;
		if (S_ISDIR(st.st_mode)) {
			if (depth > 0)
				folders.push_back(path);
			continue;
		}
		char candidate[B_MIME_TYPE_LENGTH];
		if (S_ISREG(st.st_mode) && (st.st_mode & 0111) != 0 && signature_of(path, candidate)
			&& strcasecmp(candidate, signature) == 0) {
			*found = path;
			result = true;
			break;
		}
	}
	closedir(dir);
	for (size_t i = 0; !result && i < folders.size(); i++)
		result = search_folder(folders[i], signature, depth - 1, visited, found);
	return result;
}

bool
find_application(const char* signature, std::string* found)
{
	std::vector<std::pair<std::string, int>> folders;
	BPath apps;
	if (find_directory(B_APPS_DIRECTORY, &apps) == B_OK)
		folders.emplace_back(apps.Path(), kMaxApplicationDepth);
	const char* home = getenv("HOME");
	if (home != nullptr)
		folders.emplace_back(std::string(home) + "/.local/bin", 0);
	folders.emplace_back("/usr/local/bin", 0);
	folders.emplace_back("/usr/bin", 0);
	if (const char* path = getenv("PATH")) {
		std::string list(path);
		size_t start = 0;
		while (start <= list.size()) {
			size_t end = list.find(':', start);
			if (end == std::string::npos)
				end = list.size();
			if (end > start)
				folders.emplace_back(list.substr(start, end - start), 0);
			start = end + 1;
		}
	}
	std::set<std::string> visited;
	for (const auto& [folder, depth] : folders) {
		if (search_folder(folder, signature, depth, visited, found))
			return true;
	}
	return false;
}

// Starts path with argv (argv[0] included), in a session of its own so that it outlives
// this program and its terminal, and reaps it when it ends.
status_t
spawn_program(const std::string& path, const std::vector<std::string>& arguments, team_id* team)
{
	std::vector<char*> argv;
	for (const std::string& argument : arguments)
		argv.push_back(const_cast<char*>(argument.c_str()));
	argv.push_back(nullptr);

	posix_spawnattr_t attributes;
	posix_spawnattr_init(&attributes);
	sigset_t signals;
	sigemptyset(&signals);
	posix_spawnattr_setsigmask(&attributes, &signals);
	sigfillset(&signals);
	sigdelset(&signals, SIGKILL);
	sigdelset(&signals, SIGSTOP);
	posix_spawnattr_setsigdefault(&attributes, &signals);
	posix_spawnattr_setflags(
		&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
	pid_t pid = -1;
	int error = posix_spawn(&pid, path.c_str(), nullptr, &attributes, argv.data(), environ);
	posix_spawnattr_destroy(&attributes);
	if (error != 0)
		return B_LAUNCH_FAILED_EXECUTABLE;

	std::thread([pid]() {
		int status;
		while (waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
	}).detach();
	if (team != nullptr)
		*team = pid;
	return B_OK;
}

void
append_ref_paths(const BMessage* message, std::vector<std::string>* arguments)
{
	if (message == nullptr || message->what != B_REFS_RECEIVED)
		return;
	entry_ref ref;
	for (int32 i = 0; message->FindRef("refs", i, &ref) == B_OK; i++) {
		BPath path(&ref);
		if (path.InitCheck() == B_OK)
			arguments->push_back(path.Path());
	}
}

status_t
open_with_desktop(const BMessage* message, team_id* team)
{
	std::string opener = BPrivate::desktop_opener();
	if (opener.empty())
		return B_LAUNCH_FAILED_APP_NOT_FOUND;
	std::vector<std::string> paths;
	append_ref_paths(message, &paths);
	status_t result = B_OK;
	for (const std::string& path : paths) {
		// One run per entry, with the path as one argument of its own.
		status_t status = spawn_program(opener, { opener, path }, team);
		if (status != B_OK)
			result = status;
	}
	return result;
}

status_t
fill_app_info(pid_t pid, app_info* info)
{
	char link[64];
	snprintf(link, sizeof(link), "/proc/%d/exe", (int)pid);
	char buffer[PATH_MAX];
	ssize_t length = readlink(link, buffer, sizeof(buffer) - 1);
	if (length <= 0) {
		if (kill(pid, 0) == 0 || errno == EPERM)
			return B_PERMISSION_DENIED;
		return B_BAD_TEAM_ID;
	}
	buffer[length] = '\0';

	info->thread = pid;
	info->team = pid;
	info->port = -1;
	info->flags = B_MULTIPLE_LAUNCH;
	info->signature[0] = '\0';
	get_ref_for_path(buffer, &info->ref);
	BFile file(buffer, B_READ_ONLY);
	BAppFileInfo fileInfo(&file);
	if (fileInfo.InitCheck() == B_OK) {
		if (fileInfo.GetSignature(info->signature) != B_OK)
			info->signature[0] = '\0';
		uint32 flags;
		if (fileInfo.GetAppFlags(&flags) == B_OK)
			info->flags = flags;
	}
	return B_OK;
}

// The desktop shell's stand-in: opens the entries of the refs messages it receives.
class DesktopShell : public BLooper {
public:
	DesktopShell() :
		BLooper("desktop shell")
	{
	}

	virtual void MessageReceived(BMessage* message)
	{
		if (message->what == B_REFS_RECEIVED) {
			open_with_desktop(message, nullptr);
			return;
		}
		BLooper::MessageReceived(message);
	}
};

struct DesktopShellState {
	std::mutex lock;
	DesktopShell* shell = nullptr;
};

DesktopShellState&
desktop_shell_state()
{
	static DesktopShellState state;
	return state;
}

} // namespace

const BRoster* be_roster = &sRoster;

app_info::app_info() :
	thread(-1),
	team(-1),
	port(-1),
	flags(B_MULTIPLE_LAUNCH)
{
	signature[0] = '\0';
}

app_info::~app_info() { }

BRoster::BRoster() { }

BRoster::~BRoster() { }

status_t
BRoster::GetAppInfo(const char* signature, app_info* info) const
{
	if (signature == nullptr || info == nullptr)
		return B_BAD_VALUE;
	if (GetRunningAppInfo(getpid(), info) == B_OK && strcasecmp(info->signature, signature) == 0)
		return B_OK;

	DIR* proc = opendir("/proc");
	if (proc == nullptr)
		return B_ERROR;
	status_t result = B_ERROR;
	while (struct dirent* entry = readdir(proc)) {
		char* end;
		long pid = strtol(entry->d_name, &end, 10);
		if (*end != '\0' || pid <= 0 || pid == getpid())
			continue;
		app_info candidate;
		if (fill_app_info((pid_t)pid, &candidate) == B_OK
			&& strcasecmp(candidate.signature, signature) == 0) {
			*info = candidate;
			result = B_OK;
			break;
		}
	}
	closedir(proc);
	return result;
}

status_t
BRoster::GetRunningAppInfo(team_id team, app_info* info) const
{
	if (info == nullptr)
		return B_BAD_VALUE;
	if (team <= 0)
		return B_BAD_TEAM_ID;
	return fill_app_info(team, info);
}

status_t
BRoster::FindApp(const char* mimeType, entry_ref* app) const
{
	if (mimeType == nullptr || app == nullptr || !BMimeType::IsValid(mimeType))
		return B_BAD_VALUE;

	if (strcasecmp(mimeType, B_DESKTOP_SHELL_SIGNATURE) == 0) {
		std::string opener = BPrivate::desktop_opener();
		if (opener.empty())
			return B_LAUNCH_FAILED_APP_NOT_FOUND;
		return get_ref_for_path(opener.c_str(), app);
	}

	std::string found;
	if (find_application(mimeType, &found))
		return get_ref_for_path(found.c_str(), app);

	// A document type: its preferred application.
	char preferred[B_MIME_TYPE_LENGTH];
	BMimeType type(mimeType);
	if (type.GetPreferredApp(preferred) == B_OK && strcasecmp(preferred, mimeType) != 0
		&& find_application(preferred, &found)) {
		return get_ref_for_path(found.c_str(), app);
	}
	return B_LAUNCH_FAILED_APP_NOT_FOUND;
}

status_t
BRoster::Launch(const char* mimeType, BMessage* initialMessage, team_id* appTeam) const
{
	if (mimeType == nullptr)
		return B_BAD_VALUE;
	if (strcasecmp(mimeType, B_DESKTOP_SHELL_SIGNATURE) == 0)
		return open_with_desktop(initialMessage, appTeam);
	entry_ref app;
	status_t status = FindApp(mimeType, &app);
	if (status != B_OK)
		return status;
	return Launch(&app, initialMessage, appTeam);
}

status_t
BRoster::Launch(const char* mimeType, int argc, char** args, team_id* appTeam) const
{
	if (mimeType == nullptr)
		return B_BAD_VALUE;
	entry_ref app;
	status_t status = FindApp(mimeType, &app);
	if (status != B_OK)
		return status;
	return Launch(&app, argc, args, appTeam);
}

status_t
BRoster::Launch(const entry_ref* ref, const BMessage* initialMessage, team_id* appTeam) const
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	BPath path(ref);
	if (path.InitCheck() != B_OK)
		return B_ENTRY_NOT_FOUND;
	struct stat st;
	if (stat(path.Path(), &st) != 0)
		return B_ENTRY_NOT_FOUND;

	if (S_ISREG(st.st_mode) && access(path.Path(), X_OK) == 0) {
		std::vector<std::string> arguments = { path.Path() };
		append_ref_paths(initialMessage, &arguments);
		return spawn_program(path.Path(), arguments, appTeam);
	}
	if (!S_ISREG(st.st_mode))
		return B_LAUNCH_FAILED_EXECUTABLE;

	// A document: its own preferred application, else its type's.
	BNode node(path.Path());
	BNodeInfo nodeInfo(&node);
	char signature[B_MIME_TYPE_LENGTH];
	if (nodeInfo.GetPreferredApp(signature) != B_OK) {
		char type[B_MIME_TYPE_LENGTH];
		if (nodeInfo.GetType(type) != B_OK || BMimeType(type).GetPreferredApp(signature) != B_OK)
			return B_LAUNCH_FAILED_NO_PREFERRED_APP;
	}
	entry_ref app;
	if (FindApp(signature, &app) != B_OK)
		return B_LAUNCH_FAILED_APP_NOT_FOUND;
	BPath appPath(&app);
	if (appPath.InitCheck() != B_OK)
		return B_LAUNCH_FAILED_APP_NOT_FOUND;
	std::vector<std::string> arguments = { appPath.Path(), path.Path() };
	append_ref_paths(initialMessage, &arguments);
	return spawn_program(appPath.Path(), arguments, appTeam);
}

status_t
BRoster::Launch(const entry_ref* ref, int argc, const char* const* args, team_id* appTeam) const
{
	if (ref == nullptr || argc < 0 || (argc > 0 && args == nullptr))
		return B_BAD_VALUE;
	BPath path(ref);
	if (path.InitCheck() != B_OK)
		return B_ENTRY_NOT_FOUND;
	if (!is_executable_file(path.Path()))
		return B_LAUNCH_FAILED_EXECUTABLE;
	std::vector<std::string> arguments = { path.Path() };
	for (int i = 1; i < argc; i++) {
		if (args[i] != nullptr)
			arguments.push_back(args[i]);
	}
	return spawn_program(path.Path(), arguments, appTeam);
}

namespace BPrivate {

std::string
desktop_opener()
{
	const char* configured = getenv(kOpenerVariable);
	std::string name = configured != nullptr && configured[0] != '\0' ? configured : kDefaultOpener;
	if (name.find('/') != std::string::npos)
		return is_executable_file(name) ? name : "";
	return find_on_path(name);
}

status_t
send_to_signature(const char* signature, BMessage* message)
{
	if (signature == nullptr || message == nullptr)
		return B_BAD_VALUE;
	BMessenger messenger(signature);
	if (messenger.IsValid())
		return messenger.SendMessage(message);
	if (strcasecmp(signature, B_DESKTOP_SHELL_SIGNATURE) == 0)
		return be_roster->Launch(signature, message);
	return B_BAD_VALUE;
}

status_t
start_desktop_shell()
{
	DesktopShellState& state = desktop_shell_state();
	std::lock_guard<std::mutex> locker(state.lock);
	if (state.shell != nullptr)
		return B_OK;
	DesktopShell* shell = new DesktopShell;
	thread_id thread = shell->Run();
	if (thread < 0) {
		shell->Lock();
		shell->Quit();
		return thread;
	}
	state.shell = shell;
	register_app_signature(B_DESKTOP_SHELL_SIGNATURE, BMessenger(shell));
	return B_OK;
}

void
stop_desktop_shell()
{
	DesktopShellState& state = desktop_shell_state();
	std::lock_guard<std::mutex> locker(state.lock);
	if (state.shell == nullptr)
		return;
	unregister_app_signature(B_DESKTOP_SHELL_SIGNATURE);
	state.shell->Lock();
	state.shell->Quit();
	state.shell = nullptr;
}

} // namespace BPrivate
