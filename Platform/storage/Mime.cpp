#include <Mime.h>

#include "MimePrivate.h"

#include <Node.h>
#include <ThreadPrivate.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <magic.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kTypeAttribute = "BEOS:TYPE";

bool
is_volume_root(const char* path, const struct stat& st)
{
	std::string parentPath = std::string(path) + "/..";
	struct stat parent;
	if (stat(parentPath.c_str(), &parent) != 0)
		return false;
	return parent.st_dev != st.st_dev || parent.st_ino == st.st_ino;
}

bool
has_elf_magic(const char* path)
{
	int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
	if (fd < 0)
		return false;
	char magic[4];
	bool elf = pread(fd, magic, sizeof(magic), 0) == (ssize_t)sizeof(magic)
		&& memcmp(magic,
			   "\x7F"
			   "ELF",
			   4)
			== 0;
	close(fd);
	return elf;
}

status_t
set_type(const char* path, const std::string& type, bool force)
{
	BNode node(path);
	status_t status = node.InitCheck();
	if (status != B_OK)
		return status;
	attr_info info;
	if (node.GetAttrInfo(kTypeAttribute, &info) == B_OK) {
		if (!force)
			return B_OK;
		// A shorter type must not leave the end of a longer one behind.
		node.RemoveAttr(kTypeAttribute);
	}
	ssize_t written =
		node.WriteAttr(kTypeAttribute, B_MIME_STRING_TYPE, 0, type.c_str(), type.size() + 1);
	return written < 0 ? (status_t)written : B_OK;
}

} // namespace

namespace BPrivate {

TypeRecognizer::TypeRecognizer() :
	fMagic(nullptr),
	fMagicFailed(false)
{
}

TypeRecognizer::~TypeRecognizer()
{
	if (fMagic != nullptr)
		magic_close((magic_t)fMagic);
}

bool
TypeRecognizer::_LoadMagic()
{
	if (fMagic != nullptr)
		return true;
	if (fMagicFailed)
		return false;
	magic_t magic = magic_open(MAGIC_MIME_TYPE);
	if (magic != nullptr && magic_load(magic, nullptr) != 0) {
		magic_close(magic);
		magic = nullptr;
	}
	fMagic = magic;
	fMagicFailed = magic == nullptr;
	return magic != nullptr;
}

status_t
TypeRecognizer::Recognize(const char* path, std::string* type)
{
	if (path == nullptr || type == nullptr)
		return B_BAD_VALUE;
	struct stat st;
	if (lstat(path, &st) != 0)
		return B_FROM_POSIX_ERROR(errno);

	if (S_ISLNK(st.st_mode)) {
		*type = B_SYMLINK_MIME_TYPE;
		return B_OK;
	}
	if (S_ISDIR(st.st_mode)) {
		*type = is_volume_root(path, st) ? B_VOLUME_MIME_TYPE : B_DIRECTORY_MIME_TYPE;
		return B_OK;
	}
	if (S_ISREG(st.st_mode) && (st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH)) != 0
		&& has_elf_magic(path)) {
		*type = B_ELF_APP_MIME_TYPE;
		return B_OK;
	}

	// libmagic names special files by their kind without opening them.
	const char* found = nullptr;
	if (_LoadMagic())
		found = magic_file((magic_t)fMagic, path);
	*type = found != nullptr ? found : B_FILE_MIME_TYPE;
	return B_OK;
}

status_t
TypeRecognizer::RecognizeData(const void* data, size_t length, std::string* type)
{
	if ((data == nullptr && length > 0) || type == nullptr)
		return B_BAD_VALUE;
	const char* found = nullptr;
	if (_LoadMagic())
		found = magic_buffer((magic_t)fMagic, data, length);
	*type = found != nullptr ? found : B_FILE_MIME_TYPE;
	return B_OK;
}

status_t
path_of_node(const BNode* node, std::string* path)
{
	if (node == nullptr || node->InitCheck() != B_OK)
		return B_NO_INIT;
	// Dup() leaves the node as it is; it is only declared without const.
	int fd = const_cast<BNode*>(node)->Dup();
	if (fd < 0)
		return fd;
	char link[64];
	snprintf(link, sizeof(link), "/proc/self/fd/%d", fd);
	char buffer[PATH_MAX];
	ssize_t length = readlink(link, buffer, sizeof(buffer) - 1);
	close(fd);
	if (length <= 0 || buffer[0] != '/')
		return B_ENTRY_NOT_FOUND;
	path->assign(buffer, (size_t)length);
	return B_OK;
}

} // namespace BPrivate

int
update_mime_info(const char* path, int recursive, int synchronous, int force)
{
	(void)synchronous;
	if (path == nullptr)
		return B_BAD_VALUE;

	BPrivate::TypeRecognizer recognizer;
	std::string type;
	status_t result = recognizer.Recognize(path, &type);
	if (result != B_OK)
		return result;
	result = set_type(path, type, force != 0);

	struct stat st;
	if (recursive == 0 || lstat(path, &st) != 0 || !S_ISDIR(st.st_mode))
		return result;

	std::error_code error;
	std::filesystem::recursive_directory_iterator walk(
		path, std::filesystem::directory_options::skip_permission_denied, error);
	if (error)
		return result != B_OK ? result : B_FROM_POSIX_ERROR(error.value());
	for (; walk != std::filesystem::recursive_directory_iterator(); walk.increment(error)) {
		if (error)
			break;
		// A worker killed during the walk stops at the next entry.
		BPrivate::check_thread_killed();
		std::string entry = walk->path().string();
		status_t status = recognizer.Recognize(entry.c_str(), &type);
		if (status == B_OK)
			status = set_type(entry.c_str(), type, force != 0);
		if (status != B_OK && result == B_OK)
			result = status;
	}
	if (error && result == B_OK)
		result = B_FROM_POSIX_ERROR(error.value());
	return result;
}
