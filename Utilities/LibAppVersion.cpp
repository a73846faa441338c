// A program's version record, supported types and signature.
#include "LibAppResource.h"

#include "LibStringList.h"

#include <AppFileInfo.h>
#include <Entry.h>
#include <Message.h>
#include <Mime.h>
#include <Path.h>
#include <Roster.h>
#include <TypeConstants.h>

#include <string.h>
#include <unistd.h>
#include <vector>

namespace {

// The version resource: the application record, then the system record (formats.md).
const type_code kVersionType = 'APPV';
const int32 kVersionId = 1;
const char* const kVersionName = "BEOS:APP_VERSION";
const size_t kVersionRecordSize = 340;
const size_t kShortInfoSize = 64;
const size_t kLongInfoSize = 256;

const int32 kSupportedTypesId = 1;
const char* const kSupportedTypesName = "BEOS:FILE_TYPES";

const char* const kVarietyTexts[] = { " Dev", " Alpha", " Beta", " Gamma", " Gold", "" };

bool
program_path(const char* path, std::string& resolved)
{
	if (path != NULL) {
		resolved = path;
		return true;
	}
	app_info info;
	BPath running;
	if (be_roster->GetRunningAppInfo(getpid(), &info) != B_OK || running.SetTo(&info.ref) != B_OK)
		return false;
	resolved = running.Path();
	return true;
}

void
put_le32(uint8* data, uint32 value)
{
	for (int i = 0; i < 4; i++)
		data[i] = (uint8)(value >> (8 * i));
}

void
put_text(uint8* data, const char* text, size_t size)
{
	if (text != NULL)
		memcpy(data, text, strnlen(text, size - 1));
}

} // namespace

LibString
LibGetAppVersion(const char* path)
{
	LibString version;
	std::string resolved;
	if (!program_path(path, resolved))
		return version;
	BFile file(resolved.c_str(), B_READ_ONLY);
	BAppFileInfo fileInfo(&file);
	version_info info;
	if (fileInfo.InitCheck() != B_OK || fileInfo.GetVersionInfo(&info, B_APP_VERSION_KIND) != B_OK)
		return version;

	version.Formatted(
		"%u.%u.%u", (unsigned)info.major, (unsigned)info.middle, (unsigned)info.minor);
	if (info.variety < sizeof(kVarietyTexts) / sizeof(kVarietyTexts[0]))
		version += kVarietyTexts[info.variety];
	if (info.internal != 0) {
		LibString internal;
		internal.Formatted(" %u", (unsigned)info.internal);
		version += internal;
	}
	return version;
}

void
LibSetAppVersion(const uint32& major, const uint32& middle, const uint32& minor,
	const char* shortText, const char* longText, const uint32& variety, const uint32& internal,
	const char* path)
{
	// Through the path: a running program (the usual caller) cannot be opened for
	// writing, and the container then writes by replacing its file.
	std::string resolved;
	BResources resources;
	if (!program_path(path, resolved) || resources.SetTo(resolved.c_str()) != B_OK)
		return;

	std::vector<uint8> record(2 * kVersionRecordSize, 0);
	size_t oldSize = 0;
	const void* old = resources.LoadResource(kVersionType, kVersionId, &oldSize);
	// The system record stays as it was.
	if (old != NULL && oldSize == record.size()) {
		memcpy(record.data() + kVersionRecordSize, (const uint8*)old + kVersionRecordSize,
			kVersionRecordSize);
	}
	put_le32(record.data(), major);
	put_le32(record.data() + 4, middle);
	put_le32(record.data() + 8, minor);
	put_le32(record.data() + 12, variety);
	put_le32(record.data() + 16, internal);
	put_text(record.data() + 20, shortText, kShortInfoSize);
	put_text(record.data() + 20 + kShortInfoSize, longText, kLongInfoSize);

	resources.AddResource(kVersionType, kVersionId, record.data(), record.size(), kVersionName);
	resources.Sync();
}

int32
LibGetAppSupportedTypes(LibStringList& list, const char* path)
{
	std::string resolved;
	if (!program_path(path, resolved))
		return 0;
	BFile file(resolved.c_str(), B_READ_ONLY);
	BAppFileInfo fileInfo(&file);
	BMessage types;
	if (fileInfo.InitCheck() != B_OK || fileInfo.GetSupportedTypes(&types) != B_OK)
		return 0;
	list.Append(types, "types");
	return list.Size();
}

void
LibSetAppSupportedTypes(LibStringList& list, const char* path)
{
	std::string resolved;
	BResources resources;
	if (!program_path(path, resolved) || resources.SetTo(resolved.c_str()) != B_OK)
		return;
	BMessage types;
	list.GetFrom(types, "types");
	ssize_t size = types.FlattenedSize();
	if (size < 0)
		return;
	std::vector<char> data((size_t)size);
	if (types.Flatten(data.data(), size) != B_OK)
		return;
	resources.AddResource(
		B_MESSAGE_TYPE, kSupportedTypesId, data.data(), data.size(), kSupportedTypesName);
	resources.Sync();
}

void
LibGetAppSignature(const entry_ref& ref, char* signature)
{
	if (signature == NULL)
		return;
	signature[0] = '\0';
	BFile file(&ref, B_READ_ONLY);
	BAppFileInfo fileInfo(&file);
	char type[B_MIME_TYPE_LENGTH];
	if (fileInfo.InitCheck() != B_OK || fileInfo.GetType(type) != B_OK
		|| strcmp(type, B_APP_MIME_TYPE) != 0) {
		return;
	}
	if (fileInfo.GetSignature(signature) != B_OK)
		signature[0] = '\0';
}
