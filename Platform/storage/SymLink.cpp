#include <SymLink.h>

#include <Directory.h>
#include <Path.h>

#include "StoragePrivate.h"

#include <climits>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

using namespace BPrivate;

namespace {

// The whole contents of the link behind fd.
status_t
read_contents(int fd, std::string* contents)
{
	char buffer[PATH_MAX + 1];
	ssize_t length = readlinkat(fd, "", buffer, PATH_MAX);
	if (length < 0)
		return status_from_errno();
	contents->assign(buffer, length);
	return B_OK;
}

} // namespace

BSymLink::BSymLink() { }

BSymLink::BSymLink(const BSymLink& link) :
	BNode(link)
{
}

BSymLink::BSymLink(const entry_ref* ref) :
	BNode(ref)
{
}

BSymLink::BSymLink(const BEntry* entry) :
	BNode(entry)
{
}

BSymLink::BSymLink(const char* path) :
	BNode(path)
{
}

BSymLink::BSymLink(const BDirectory* dir, const char* path) :
	BNode(dir, path)
{
}

BSymLink::~BSymLink() { }

ssize_t
BSymLink::ReadLink(char* buffer, size_t size)
{
	if (InitCheck() != B_OK)
		return B_FILE_ERROR;
	if (buffer == nullptr || size == 0)
		return B_BAD_VALUE;
	std::string contents;
	status_t status = read_contents(_Fd(), &contents);
	if (status != B_OK)
		return status;
	size_t length = contents.size() < size - 1 ? contents.size() : size - 1;
	memcpy(buffer, contents.data(), length);
	buffer[length] = '\0';
	return length;
}

ssize_t
BSymLink::MakeLinkedPath(const char* dirPath, BPath* path)
{
	if (dirPath == nullptr || path == nullptr)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK)
		return B_FILE_ERROR;
	std::string contents;
	status_t status = read_contents(_Fd(), &contents);
	if (status != B_OK)
		return status;
	if (contents.empty())
		return B_BAD_VALUE;
	status =
		contents[0] == '/' ? path->SetTo(contents.c_str()) : path->SetTo(dirPath, contents.c_str());
	if (status != B_OK)
		return status;
	return strlen(path->Path());
}

ssize_t
BSymLink::MakeLinkedPath(const BDirectory* dir, BPath* path)
{
	if (dir == nullptr || path == nullptr)
		return B_BAD_VALUE;
	BPath dirPath(dir);
	if (dirPath.InitCheck() != B_OK)
		return dirPath.InitCheck();
	return MakeLinkedPath(dirPath.Path(), path);
}

bool
BSymLink::IsAbsolute()
{
	if (InitCheck() != B_OK)
		return false;
	std::string contents;
	return read_contents(_Fd(), &contents) == B_OK && !contents.empty() && contents[0] == '/';
}
