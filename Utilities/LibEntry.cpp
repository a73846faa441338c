// Entry information: references and paths, types, sizes, dates, and opening an entry in the
// desktop shell.
#include "LibEntry.h"

#include <AppDefs.h>
#include <AppFileInfo.h>
#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <Message.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>
#include <Roster.h>
#include <ThreadPrivate.h>

#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

const char* kTrackerSignature = "application/x-vnd.Be-TRAK";
const char* kDirectoryType = "application/x-vnd.Be-directory";
const char* kExecutableType = "application/x-vnd.Be-elfexecutable";

void
copy_text(char* buffer, size_t size, const char* text)
{
	if (buffer == NULL || size == 0)
		return;
	strncpy(buffer, text, size - 1);
	buffer[size - 1] = '\0';
}

// The calendar date and time of when: local, or the seconds counted from 1 January 1970
// 00:00:00 without a zone shift.
LibDateTime
date_time_of(time_t when, bool local)
{
	struct tm parts;
	if (local)
		localtime_r(&when, &parts);
	else
		gmtime_r(&when, &parts);
	LibDateTime result(parts.tm_mday, parts.tm_mon + 1, parts.tm_year + 1900);
	result.SetTime(parts.tm_hour, parts.tm_min, parts.tm_sec);
	return result;
}

LibDateTime
base_date()
{
	return LibDateTime(1, 1, 1970);
}

std::string
path_of(const BEntry& entry)
{
	BPath path(&entry);
	return path.InitCheck() == B_OK ? path.Path() : "";
}

int64
entry_size(const char* path, bool withAttributes)
{
	// A worker killed during the walk stops at the next entry.
	BPrivate::check_thread_killed();
	BNode node(path);
	struct stat st;
	if (node.InitCheck() != B_OK || node.GetStat(&st) != B_OK)
		return 0;

	int64 size = st.st_size;
	if (withAttributes) {
		char name[B_ATTR_NAME_LENGTH + 1];
		while (node.GetNextAttrName(name) == B_OK) {
			attr_info info;
			if (node.GetAttrInfo(name, &info) == B_OK)
				size += info.size;
		}
	}
	if (!S_ISDIR(st.st_mode))
		return size;

	BDirectory folder(path);
	BEntry child;
	while (folder.GetNextEntry(&child, false) == B_OK) {
		BPath childPath(&child);
		if (childPath.InitCheck() == B_OK)
			size += entry_size(childPath.Path(), withAttributes);
	}
	return size;
}

} // namespace

bool
LibGetEntryRef(const char* path, entry_ref& ref)
{
	if (path == NULL)
		return false;
	BEntry entry(path);
	if (entry.InitCheck() != B_OK)
		return false;
	return entry.GetRef(&ref) == B_OK;
}

bool
LibGetFullPath(const entry_ref& ref, LibString& path)
{
	BPath full(&ref);
	path = full.InitCheck() == B_OK ? full.Path() : "";
	return true;
}

bool
LibGetFullPath(const entry_ref& ref, BPath& path)
{
	path.SetTo(&ref);
	return true;
}

bool
LibGetPath(const entry_ref& dir, const char* name, BPath& path)
{
	if (path.SetTo(&dir) != B_OK)
		return false;
	if (name != NULL && name[0] != '\0')
		return path.Append(name) == B_OK;
	return true;
}

entry_ref
LibGetParentRef(const entry_ref& ref)
{
	entry_ref parentRef;
	BEntry entry(&ref);
	BEntry parent;
	if (entry.InitCheck() != B_OK || entry.GetParent(&parent) != B_OK
		|| parent.GetRef(&parentRef) != B_OK) {
		return entry_ref();
	}
	return parentRef;
}

bool
LibGetParentPath(const char* path, LibString& parent)
{
	BPath child(path);
	BPath folder;
	if (child.InitCheck() != B_OK || child.GetParent(&folder) != B_OK)
		return false;
	parent = folder.Path();
	return true;
}

bool
LibGetChildName(const char* path, char* leaf)
{
	if (leaf == NULL)
		return false;
	leaf[0] = '\0';
	BPath child(path);
	if (child.InitCheck() != B_OK)
		return false;
	copy_text(leaf, B_FILE_NAME_LENGTH, child.Leaf());
	return true;
}

bool
LibGetWorkingDirectory(BPath& path)
{
	std::vector<char> buffer(PATH_MAX + 1);
	ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
	if (length <= 0)
		return false;
	buffer[length] = '\0';
	BPath executable(buffer.data());
	return executable.InitCheck() == B_OK && executable.GetParent(&path) == B_OK;
}

bool
LibGetSettingsPath(LibString& path)
{
	BPath settings;
	find_directory(B_USER_SETTINGS_DIRECTORY, &settings);
	path = settings.InitCheck() == B_OK ? settings.Path() : "";
	return true;
}

bool
LibGetSettingsPath(char* buffer, const int& size)
{
	LibString path;
	LibGetSettingsPath(path);
	copy_text(buffer, size > 0 ? (size_t)size : 0, path);
	return true;
}

int32
LibGetFilePath(const BMessage* message, BPath& path)
{
	if (message == NULL)
		return 0;
	entry_ref directory;
	const char* name = NULL;
	message->FindRef("directory", &directory);
	message->FindString("name", &name);

	LibString stripped(name != NULL ? name : "");
	stripped.StripLeadingSpaces();
	stripped.StripTrailingSpaces();
	path.SetTo(&directory);
	path.Append(stripped);
	return stripped.Length();
}

bool
LibGetMimeType(const entry_ref& ref, char* type, bool describe)
{
	if (type == NULL)
		return false;
	type[0] = '\0';
	BNode node(&ref);
	bool found = false;
	if (node.InitCheck() == B_OK) {
		BNodeInfo info(&node);
		found = info.GetType(type) == B_OK;
		if (!found)
			type[0] = '\0';
	}
	if (!describe)
		return found;

	if (strcmp(type, kDirectoryType) == 0) {
		copy_text(type, B_MIME_TYPE_LENGTH, "Folder");
	} else if (strcmp(type, kExecutableType) == 0) {
		copy_text(type, B_MIME_TYPE_LENGTH, "Be Application");
	} else {
		BEntry entry(&ref);
		copy_text(type, B_MIME_TYPE_LENGTH, entry.IsSymLink() ? "Symbolic Link" : "Unknown");
	}
	return found;
}

bool
LibSetMimeType(const char* path, const char* type)
{
	BNode node(path);
	if (node.InitCheck() != B_OK)
		return false;
	BNodeInfo info(&node);
	return info.SetType(type) == B_OK;
}

bool
LibSetFileType(const char* path, const char* type, const char* signature)
{
	BNode node(path);
	if (node.InitCheck() != B_OK)
		return false;
	BNodeInfo info(&node);
	if (info.SetType(type) != B_OK)
		return false;

	char ownSignature[B_MIME_TYPE_LENGTH];
	if (signature == NULL) {
		// The running program's signature, from its executable.
		BFile executable("/proc/self/exe", B_READ_ONLY);
		BAppFileInfo appInfo(&executable);
		if (appInfo.GetSignature(ownSignature) != B_OK)
			return false;
		signature = ownSignature;
	}
	return info.SetPreferredApp(signature) == B_OK;
}

int32
LibEntrySize(const char* path, bool withAttributes)
{
	if (path == NULL)
		return 0;
	int64 size = entry_size(path, withAttributes);
	return size > INT32_MAX ? INT32_MAX : (int32)size;
}

int64
LibEntrySize64(const char* path, bool withAttributes)
{
	if (path == NULL)
		return 0;
	return entry_size(path, withAttributes);
}

LibDateTime
LibCreationDate(const entry_ref& ref, const bool& local)
{
	BEntry entry(&ref);
	time_t when;
	if (entry.InitCheck() != B_OK || entry.GetCreationTime(&when) != B_OK) {
		fprintf(stderr, "LibCreationDate: Unable to set entry\n");
		return base_date();
	}
	return date_time_of(when, local);
}

LibDateTime
LibCreationDate(const char* path, const bool& local)
{
	BEntry entry(path);
	time_t when;
	if (path == NULL || entry.InitCheck() != B_OK || entry.GetCreationTime(&when) != B_OK) {
		fprintf(stderr, "LibCreationDate: Unable to set entry <%s>\n", path != NULL ? path : "");
		return base_date();
	}
	return date_time_of(when, local);
}

LibDateTime
LibLastModifiedDate(const BEntry& entry, const bool& local)
{
	time_t when;
	if (entry.InitCheck() != B_OK || entry.GetModificationTime(&when) != B_OK) {
		fprintf(stderr, "LibLastModifiedDate: Unable to set entry <%s>\n", path_of(entry).c_str());
		return base_date();
	}
	return date_time_of(when, local);
}

LibDateTime
LibLastModifiedDate(const char* path, const bool& local)
{
	BEntry entry(path);
	time_t when;
	if (path == NULL || entry.InitCheck() != B_OK || entry.GetModificationTime(&when) != B_OK) {
		fprintf(
			stderr, "LibLastModifiedDate: Unable to set entry <%s>\n", path != NULL ? path : "");
		return base_date();
	}
	return date_time_of(when, local);
}

LibDateTime
LibAccessedDate(const BEntry& entry, const bool& local)
{
	time_t when;
	if (entry.InitCheck() != B_OK || entry.GetModificationTime(&when) != B_OK) {
		fprintf(stderr, "LibAccessedDate: Unable to set entry <%s>\n", path_of(entry).c_str());
		return base_date();
	}
	return date_time_of(when, local);
}

bool
LibOpenEntry(const char* path)
{
	if (path == NULL || access(path, F_OK) != 0)
		return false;
	entry_ref ref;
	if (!LibGetEntryRef(path, ref))
		return false;

	BMessage message(B_REFS_RECEIVED);
	message.AddRef("refs", &ref);
	// The shell running in this process gets the message; without it the desktop's own
	// opener is started. Without either the request is dropped.
	BPrivate::send_to_signature(kTrackerSignature, &message);
	return true;
}
