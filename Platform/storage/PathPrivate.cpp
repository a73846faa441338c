#include "PathPrivate.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace BPrivate {

status_t
canonical_folder(const std::string& path, std::string* canonical, struct stat* st)
{
	// An O_PATH descriptor and its /proc link name the folder in three system calls
	// whatever the depth; realpath() would look at every component.
	int fd = open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		return B_FROM_POSIX_ERROR(errno);

	status_t status = B_OK;
	if (st != nullptr && fstat(fd, st) != 0)
		status = B_FROM_POSIX_ERROR(errno);

	if (status == B_OK) {
		char link[64];
		snprintf(link, sizeof(link), "/proc/self/fd/%d", fd);
		char buffer[PATH_MAX + 1];
		ssize_t length = readlink(link, buffer, PATH_MAX);
		if (length > 0 && buffer[0] == '/') {
			canonical->assign(buffer, length);
		} else {
			char* resolved = realpath(path.c_str(), nullptr);
			if (resolved == nullptr) {
				status = B_FROM_POSIX_ERROR(errno);
			} else {
				canonical->assign(resolved);
				free(resolved);
			}
		}
	}
	close(fd);
	return status;
}

std::string
absolute_path(const std::string& path)
{
	std::string result;
	if (path.empty() || path[0] != '/') {
		char* folder = getcwd(nullptr, 0);
		if (folder == nullptr || folder[0] != '/') {
			free(folder);
			return std::string();
		}
		result.append(folder).append(1, '/');
		free(folder);
	}
	result.append(path);

	std::string clean;
	clean.reserve(result.size());
	for (char c : result) {
		if (c == '/' && !clean.empty() && clean.back() == '/')
			continue;
		clean += c;
	}
	while (clean.size() > 1 && clean.back() == '/')
		clean.pop_back();
	return clean;
}

std::string
path_folder(const std::string& path)
{
	size_t slash = path.rfind('/');
	if (slash == std::string::npos || slash == 0)
		return "/";
	return path.substr(0, slash);
}

std::string
path_leaf(const std::string& path)
{
	size_t slash = path.rfind('/');
	if (slash == std::string::npos)
		return path;
	return path.substr(slash + 1);
}

std::string
join_path(const std::string& folder, const std::string& leaf)
{
	if (leaf.empty())
		return folder;
	if (folder.empty() || folder.back() == '/')
		return folder + leaf;
	return folder + "/" + leaf;
}

std::string
lexically_normal(const std::string& path)
{
	std::vector<std::string> parts;
	size_t start = 0;
	while (start <= path.size()) {
		size_t end = path.find('/', start);
		if (end == std::string::npos)
			end = path.size();
		std::string part = path.substr(start, end - start);
		if (part == "..") {
			if (!parts.empty())
				parts.pop_back();
		} else if (!part.empty() && part != ".") {
			parts.push_back(part);
		}
		start = end + 1;
	}

	std::string result;
	for (const std::string& part : parts)
		result += "/" + part;
	return result.empty() ? "/" : result;
}

bool
is_dot_leaf(const std::string& path)
{
	std::string trimmed = path;
	while (trimmed.size() > 1 && trimmed.back() == '/')
		trimmed.pop_back();
	std::string leaf = path_leaf(trimmed);
	return leaf == "." || leaf == "..";
}

status_t
resolve_entry_path(const std::string& path, std::string* resolved)
{
	std::string absolute = absolute_path(path);
	if (absolute.empty())
		return B_ENTRY_NOT_FOUND;
	if (absolute == "/") {
		resolved->assign(1, '/');
		return B_OK;
	}
	if (is_dot_leaf(absolute))
		return canonical_folder(absolute, resolved);

	std::string leaf = path_leaf(absolute);
	if (leaf.size() > NAME_MAX)
		return B_NAME_TOO_LONG;
	std::string folder;
	status_t status = canonical_folder(path_folder(absolute), &folder);
	if (status != B_OK)
		return status;
	*resolved = join_path(folder, leaf);
	return B_OK;
}

} // namespace BPrivate
