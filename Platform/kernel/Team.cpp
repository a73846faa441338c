// Teams are processes. Their information comes from /proc/<pid>; enumerations walk /proc and
// /proc/<pid>/task in id order, with the cookie holding the next id to look at, so that a
// process or thread that appears or ends between two calls does not upset the walk.
#include <OS.h>

#include "ProcFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <set>
#include <string>
#include <unistd.h>

namespace {

// The smallest numeric entry of the folder that is >= from, or -1.
int32
next_numeric_entry(const char* folder, int32 from, bool* folderExists)
{
	DIR* directory = opendir(folder);
	if (folderExists != nullptr)
		*folderExists = directory != nullptr;
	if (directory == nullptr)
		return -1;

	int32 best = -1;
	while (dirent* entry = readdir(directory)) {
		char* end = nullptr;
		long value = strtol(entry->d_name, &end, 10);
		if (end == entry->d_name || *end != '\0' || value < from || value > INT32_MAX)
			continue;
		if (best < 0 || value < best)
			best = static_cast<int32>(value);
	}
	closedir(directory);
	return best;
}

int32
count_lines(const std::string& text)
{
	int32 count = 0;
	for (char c : text) {
		if (c == '\n')
			count++;
	}
	return count;
}

// The distinct files mapped executable: the program and its shared libraries.
int32
count_images(const std::string& maps)
{
	std::set<std::string> images;
	size_t lineStart = 0;
	while (lineStart < maps.size()) {
		size_t end = maps.find('\n', lineStart);
		if (end == std::string::npos)
			end = maps.size();
		std::string line = maps.substr(lineStart, end - lineStart);
		lineStart = end + 1;

		// "start-end perms offset dev inode path"
		size_t perms = line.find(' ');
		size_t path = line.find('/');
		if (perms == std::string::npos || path == std::string::npos || perms + 3 >= line.size())
			continue;
		if (line[perms + 3] == 'x')
			images.insert(line.substr(path));
	}
	return static_cast<int32>(images.size());
}

} // namespace

status_t
get_team_info(team_id team, team_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	if (team == B_CURRENT_TEAM)
		team = getpid();
	if (team < 0)
		return B_BAD_TEAM_ID;

	char path[64];
	snprintf(path, sizeof(path), "/proc/%d/status", static_cast<int>(team));
	std::string status;
	std::string value;
	// /proc/<tid> exists for every thread; only a process's main thread is a team.
	if (!BPrivate::read_text_file(path, status) || !BPrivate::find_key_value(status, "Tgid", value)
		|| atoi(value.c_str()) != team) {
		return B_BAD_TEAM_ID;
	}

	memset(info, 0, sizeof(*info));
	info->team = team;
	info->debugger_nub_thread = -1;
	info->debugger_nub_port = -1;
	if (BPrivate::find_key_value(status, "Threads", value))
		info->thread_count = atoi(value.c_str());
	if (BPrivate::find_key_value(status, "Uid", value))
		info->uid = static_cast<uid_t>(strtoul(value.c_str(), nullptr, 10));
	if (BPrivate::find_key_value(status, "Gid", value))
		info->gid = static_cast<gid_t>(strtoul(value.c_str(), nullptr, 10));

	// The arguments are NUL-separated; args holds them joined by blanks, cut to fit.
	std::string commandLine;
	snprintf(path, sizeof(path), "/proc/%d/cmdline", static_cast<int>(team));
	if (BPrivate::read_text_file(path, commandLine, 64 * 1024)) {
		std::string joined;
		size_t start = 0;
		while (start < commandLine.size()) {
			size_t end = commandLine.find('\0', start);
			if (end == std::string::npos)
				end = commandLine.size();
			if (info->argc > 0)
				joined += ' ';
			joined.append(commandLine, start, end - start);
			info->argc++;
			start = end + 1;
		}
		snprintf(info->args, sizeof(info->args), "%s", joined.c_str());
	}

	std::string maps;
	snprintf(path, sizeof(path), "/proc/%d/maps", static_cast<int>(team));
	if (BPrivate::read_text_file(path, maps)) {
		info->area_count = count_lines(maps);
		info->image_count = count_images(maps);
	}
	return B_OK;
}

status_t
get_next_team_info(int32* cookie, team_info* info)
{
	if (cookie == nullptr || info == nullptr)
		return B_BAD_VALUE;
	while (true) {
		int32 team = next_numeric_entry("/proc", *cookie < 1 ? 1 : *cookie, nullptr);
		if (team < 0)
			return B_BAD_VALUE;
		*cookie = team + 1;
		// A process that ended in between is skipped.
		if (get_team_info(team, info) == B_OK)
			return B_OK;
	}
}

status_t
get_next_thread_info(team_id team, int32* cookie, thread_info* info)
{
	if (cookie == nullptr || info == nullptr)
		return B_BAD_VALUE;
	if (team == B_CURRENT_TEAM)
		team = getpid();

	char folder[64];
	snprintf(folder, sizeof(folder), "/proc/%d/task", static_cast<int>(team));
	while (true) {
		bool exists = false;
		int32 thread = next_numeric_entry(folder, *cookie < 1 ? 1 : *cookie, &exists);
		if (!exists)
			return B_BAD_TEAM_ID;
		if (thread < 0)
			return B_BAD_VALUE;
		*cookie = thread + 1;
		if (get_thread_info(thread, info) == B_OK)
			return B_OK;
	}
}
