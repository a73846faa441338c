#include "StoragePrivate.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace BPrivate {

status_t
status_from_errno()
{
	return B_FROM_POSIX_ERROR(errno);
}

status_t
canonical_folder(const std::string& path, std::string* canonical, struct stat* st)
{
	// An O_PATH descriptor and its /proc link name the folder in three system calls
	// whatever the depth; realpath() would look at every component.
	int fd = open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		return status_from_errno();

	status_t status = B_OK;
	if (st != nullptr && fstat(fd, st) != 0)
		status = status_from_errno();

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
				status = status_from_errno();
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
		char buffer[PATH_MAX];
		if (getcwd(buffer, sizeof(buffer)) == nullptr)
			buffer[0] = '\0';
		result.append(buffer).append(1, '/');
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

} // namespace BPrivate
