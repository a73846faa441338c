#include <Path.h>

#include <Directory.h>
#include <Entry.h>

#include "StoragePrivate.h"

#include <cstring>

using namespace BPrivate;

namespace {

// True when the path holds something normalisation would change.
bool
needs_normalizing(const std::string& path)
{
	if (path.size() > 1 && path.back() == '/')
		return true;
	if (path.find("//") != std::string::npos)
		return true;
	std::string wrapped = path + "/";
	return wrapped.find("/./") != std::string::npos || wrapped.find("/../") != std::string::npos;
}

bool
has_parent_reference(const std::string& path)
{
	return (path + "/").find("/../") != std::string::npos;
}

// ".." and explicit normalisation go through the file system where the folder exists, so
// that links resolve as the kernel resolves them ("link/.." is the folder above the
// link's target); a path below a missing folder is cleaned up lexically.
std::string
normalized(const std::string& absolute, bool resolveLinks)
{
	std::string lexical = lexically_normal(absolute);
	if (!resolveLinks && !has_parent_reference(absolute))
		return lexical;

	std::string clean = absolute_path(absolute);
	std::string leaf = path_leaf(clean);
	std::string resolved;
	if (clean == "/" || leaf == "." || leaf == "..") {
		if (canonical_folder(clean, &resolved) == B_OK)
			return resolved;
		return lexical;
	}
	if (canonical_folder(path_folder(clean), &resolved) == B_OK)
		return join_path(resolved, leaf);
	return lexical;
}

} // namespace

BPath::BPath() :
	fStatus(B_NO_INIT)
{
}

BPath::BPath(const BPath& path) :
	fPath(path.fPath),
	fStatus(path.fStatus)
{
}

BPath::BPath(const entry_ref* ref) :
	fStatus(B_NO_INIT)
{
	SetTo(ref);
}

BPath::BPath(const BEntry* entry) :
	fStatus(B_NO_INIT)
{
	SetTo(entry);
}

BPath::BPath(const char* dir, const char* leaf, bool normalize) :
	fStatus(B_NO_INIT)
{
	SetTo(dir, leaf, normalize);
}

BPath::BPath(const BDirectory* dir, const char* leaf, bool normalize) :
	fStatus(B_NO_INIT)
{
	SetTo(dir, leaf, normalize);
}

BPath::~BPath() { }

status_t
BPath::InitCheck() const
{
	return fStatus;
}

status_t
BPath::SetTo(const entry_ref* ref)
{
	Unset();
	if (ref == nullptr)
		return fStatus = B_BAD_VALUE;
	BEntry entry(ref);
	status_t status = entry.InitCheck();
	if (status != B_OK)
		return fStatus = status;
	return SetTo(&entry);
}

status_t
BPath::SetTo(const BEntry* entry)
{
	Unset();
	if (entry == nullptr)
		return fStatus = B_BAD_VALUE;
	if (entry->InitCheck() != B_OK)
		return fStatus = entry->InitCheck();
	fPath = entry->_Path();
	return fStatus = B_OK;
}

status_t
BPath::SetTo(const char* path, const char* leaf, bool normalize)
{
	if (path == nullptr || path[0] == '\0' || (leaf != nullptr && leaf[0] == '/')) {
		Unset();
		return fStatus = B_BAD_VALUE;
	}
	std::string full = path;
	if (leaf != nullptr && leaf[0] != '\0')
		full = full + "/" + leaf;

	if (full[0] != '/') {
		// A relative path is taken from the working directory and always normalised.
		std::string absolute = absolute_path(full);
		if (absolute.empty()) {
			Unset();
			return fStatus = B_ENTRY_NOT_FOUND;
		}
		fPath = normalized(absolute, normalize);
	} else if (normalize || needs_normalizing(full)) {
		fPath = normalized(full, normalize);
	} else {
		fPath = full;
	}
	return fStatus = B_OK;
}

status_t
BPath::SetTo(const BDirectory* dir, const char* leaf, bool normalize)
{
	if (dir == nullptr || dir->InitCheck() != B_OK) {
		Unset();
		return fStatus = B_BAD_VALUE;
	}
	std::string folder = dir->_NodePath();
	return SetTo(folder.c_str(), leaf, normalize);
}

void
BPath::Unset()
{
	fPath.clear();
	fStatus = B_NO_INIT;
}

status_t
BPath::Append(const char* path, bool normalize)
{
	if (fStatus != B_OK)
		return B_BAD_VALUE;
	std::string current = fPath;
	return SetTo(current.c_str(), path, normalize);
}

const char*
BPath::Path() const
{
	return fStatus == B_OK ? fPath.c_str() : nullptr;
}

const char*
BPath::Leaf() const
{
	if (fStatus != B_OK)
		return nullptr;
	return fPath.c_str() + fPath.rfind('/') + 1;
}

status_t
BPath::GetParent(BPath* path) const
{
	if (path == nullptr)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return B_NO_INIT;
	if (fPath == "/")
		return B_ENTRY_NOT_FOUND;
	std::string folder = path_folder(fPath);
	return path->SetTo(folder.c_str());
}

bool
BPath::operator==(const BPath& item) const
{
	return *this == item.Path();
}

bool
BPath::operator==(const char* path) const
{
	if (fStatus != B_OK || path == nullptr)
		return (fStatus != B_OK) == (path == nullptr);
	return fPath == path;
}

bool
BPath::operator!=(const BPath& item) const
{
	return !(*this == item);
}

bool
BPath::operator!=(const char* path) const
{
	return !(*this == path);
}

BPath&
BPath::operator=(const BPath& item)
{
	fPath = item.fPath;
	fStatus = item.fStatus;
	return *this;
}

BPath&
BPath::operator=(const char* path)
{
	if (path == nullptr)
		Unset();
	else
		SetTo(path);
	return *this;
}
