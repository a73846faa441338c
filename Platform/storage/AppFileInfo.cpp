#include <AppFileInfo.h>

#include "GenericIcons.h"
#include "MimePrivate.h"

#include <Bitmap.h>
#include <File.h>
#include <Message.h>
#include <MimeType.h>
#include <Resources.h>

#include <cstring>
#include <strings.h>

namespace {

const char* const kTypeName = "BEOS:TYPE";
const int32 kTypeId = 2;
const char* const kSignatureName = "BEOS:APP_SIG";
const int32 kSignatureId = 1;
const char* const kFlagsName = "BEOS:APP_FLAGS";
const type_code kFlagsType = 'APPF';
const int32 kFlagsId = 1;
const char* const kSupportedTypesName = "BEOS:FILE_TYPES";
const int32 kSupportedTypesId = 1;
const char* const kVersionName = "BEOS:APP_VERSION";
const type_code kVersionType = 'APPV';
const int32 kVersionId = 1;
const int32 kIconId = 101;

// A version record on disk: five little-endian uint32, then the two texts.
const size_t kVersionRecordSize = 340;

uint32
get_le32(const uint8* data)
{
	return (uint32)data[0] | ((uint32)data[1] << 8) | ((uint32)data[2] << 16)
		| ((uint32)data[3] << 24);
}

void
put_le32(uint8* data, uint32 value)
{
	for (int i = 0; i < 4; i++)
		data[i] = (uint8)(value >> (8 * i));
}

// Copies a text field up to its NUL and zeroes the rest, so that the same version always
// gives the same bytes (and rewriting it changes nothing on disk).
void
copy_text(char* to, const char* from, size_t size)
{
	size_t length = strnlen(from, size - 1);
	memset(to, 0, size);
	memcpy(to, from, length);
}

status_t
read_string(const std::vector<uint8>& data, char* buffer, size_t size)
{
	if (data.empty())
		return B_BAD_DATA;
	size_t length = strnlen((const char*)data.data(), data.size());
	if (length == 0 || length >= size)
		return B_BAD_DATA;
	memcpy(buffer, data.data(), length);
	buffer[length] = '\0';
	return B_OK;
}

} // namespace

BAppFileInfo::BAppFileInfo() { }

BAppFileInfo::BAppFileInfo(BFile* file)
{
	SetTo(file);
}

BAppFileInfo::~BAppFileInfo() { }

status_t
BAppFileInfo::SetTo(BFile* file)
{
	fResources.reset();
	fPath.clear();
	status_t status = BNodeInfo::SetTo(file);
	if (status != B_OK)
		return status;
	BPrivate::path_of_node(file, &fPath);
	// A file that holds no resources (a script, a document) keeps its metadata in
	// attributes only.
	auto resources = std::make_unique<BResources>();
	if (resources->SetTo(file) == B_OK)
		fResources = std::move(resources);
	return B_OK;
}

status_t
BAppFileInfo::_ReadData(const char* name, int32 id, type_code type, std::vector<uint8>* data) const
{
	if (fStatus != B_OK)
		return fStatus;
	if (fResources != nullptr) {
		size_t size = 0;
		const void* found = fResources->LoadResource(type, id, &size);
		if (found != nullptr) {
			data->assign((const uint8*)found, (const uint8*)found + size);
			return B_OK;
		}
	}
	BNode pathNode;
	BNode* node = _AttributeNode(&pathNode);
	attr_info info;
	status_t status = node->GetAttrInfo(name, &info);
	if (status != B_OK)
		return status;
	// Metadata are small; an attribute of more than a few kilobytes is not ours.
	if (info.size < 0 || info.size > 64 * 1024)
		return B_BAD_DATA;
	data->resize((size_t)info.size);
	ssize_t length = node->ReadAttr(name, type, 0, data->data(), data->size());
	if (length < 0)
		return (status_t)length;
	data->resize((size_t)length);
	return B_OK;
}

BNode*
BAppFileInfo::_AttributeNode(BNode* pathNode) const
{
	// Rewriting resources replaces the file with a new one, which the caller's node does
	// not name; attributes go to the file that is at the path now.
	if (fResources != nullptr && !fPath.empty() && pathNode->SetTo(fPath.c_str()) == B_OK)
		return pathNode;
	return fNode;
}

status_t
BAppFileInfo::_WriteData(const char* name, int32 id, type_code type, const void* data,
	size_t length, bool mirrorToAttribute)
{
	if (fStatus != B_OK)
		return fStatus;

	// The attribute first: a rewrite of the resources carries the attributes over.
	status_t attributeStatus = B_OK;
	if (fResources == nullptr || mirrorToAttribute) {
		BNode pathNode;
		BNode* node = _AttributeNode(&pathNode);
		if (data == nullptr) {
			attributeStatus = node->RemoveAttr(name);
			if (attributeStatus == B_ENTRY_NOT_FOUND)
				attributeStatus = B_OK;
		} else {
			// A shorter value replaces a longer one entirely.
			node->RemoveAttr(name);
			ssize_t written = node->WriteAttr(name, type, 0, data, length);
			attributeStatus = written < 0 ? (status_t)written : B_OK;
		}
	}
	if (fResources == nullptr)
		return attributeStatus;

	// The resources hold the truth; a volume without attributes only loses the mirror.
	status_t status = data != nullptr ? fResources->AddResource(type, id, data, length, name)
									  : fResources->RemoveResource(type, id);
	if (data == nullptr && status == B_BAD_VALUE)
		status = B_OK;
	if (status == B_OK)
		status = fResources->Sync();
	return status;
}

status_t
BAppFileInfo::GetType(char* type) const
{
	if (fStatus != B_OK)
		return fStatus;
	if (type == nullptr)
		return B_BAD_VALUE;
	if (fResources != nullptr) {
		size_t size = 0;
		const void* found = fResources->LoadResource(B_MIME_STRING_TYPE, kTypeId, &size);
		std::vector<uint8> data;
		if (found != nullptr) {
			data.assign((const uint8*)found, (const uint8*)found + size);
			if (read_string(data, type, B_MIME_TYPE_LENGTH) == B_OK)
				return B_OK;
		}
	}
	return BNodeInfo::GetType(type);
}

status_t
BAppFileInfo::SetType(const char* type)
{
	if (type != nullptr && !BMimeType::IsValid(type))
		return B_BAD_VALUE;
	return _WriteData(
		kTypeName, kTypeId, B_MIME_STRING_TYPE, type, type != nullptr ? strlen(type) + 1 : 0, true);
}

status_t
BAppFileInfo::GetSignature(char* signature) const
{
	if (signature == nullptr)
		return B_BAD_VALUE;
	std::vector<uint8> data;
	status_t status = _ReadData(kSignatureName, kSignatureId, B_MIME_STRING_TYPE, &data);
	if (status != B_OK)
		return status;
	return read_string(data, signature, B_MIME_TYPE_LENGTH);
}

status_t
BAppFileInfo::SetSignature(const char* signature)
{
	if (signature != nullptr && !BMimeType::IsValid(signature))
		return B_BAD_VALUE;
	return _WriteData(kSignatureName, kSignatureId, B_MIME_STRING_TYPE, signature,
		signature != nullptr ? strlen(signature) + 1 : 0, true);
}

status_t
BAppFileInfo::GetAppFlags(uint32* flags) const
{
	if (flags == nullptr)
		return B_BAD_VALUE;
	std::vector<uint8> data;
	status_t status = _ReadData(kFlagsName, kFlagsId, kFlagsType, &data);
	if (status != B_OK)
		return status;
	if (data.size() != sizeof(uint32))
		return B_BAD_DATA;
	*flags = get_le32(data.data());
	return B_OK;
}

status_t
BAppFileInfo::SetAppFlags(uint32 flags)
{
	uint8 data[4];
	put_le32(data, flags);
	return _WriteData(kFlagsName, kFlagsId, kFlagsType, data, sizeof(data), false);
}

status_t
BAppFileInfo::RemoveAppFlags()
{
	return _WriteData(kFlagsName, kFlagsId, kFlagsType, nullptr, 0, false);
}

status_t
BAppFileInfo::GetSupportedTypes(BMessage* types) const
{
	if (types == nullptr)
		return B_BAD_VALUE;
	std::vector<uint8> data;
	status_t status = _ReadData(kSupportedTypesName, kSupportedTypesId, B_MESSAGE_TYPE, &data);
	if (status != B_OK)
		return status;
	return types->Unflatten((const char*)data.data(), (ssize_t)data.size());
}

status_t
BAppFileInfo::SetSupportedTypes(const BMessage* types, bool syncAll)
{
	(void)syncAll;
	if (types == nullptr)
		return _WriteData(
			kSupportedTypesName, kSupportedTypesId, B_MESSAGE_TYPE, nullptr, 0, false);
	const char* type;
	for (int32 i = 0; types->FindString("types", i, &type) == B_OK; i++) {
		if (!BMimeType::IsValid(type))
			return B_BAD_VALUE;
	}
	ssize_t size = types->FlattenedSize();
	if (size < 0)
		return (status_t)size;
	std::vector<char> data((size_t)size);
	status_t status = types->Flatten(data.data(), size);
	if (status != B_OK)
		return status;
	return _WriteData(
		kSupportedTypesName, kSupportedTypesId, B_MESSAGE_TYPE, data.data(), data.size(), false);
}

status_t
BAppFileInfo::SetSupportedTypes(const BMessage* types)
{
	return SetSupportedTypes(types, false);
}

bool
BAppFileInfo::IsSupportedType(const char* type) const
{
	BMimeType wanted(type);
	if (wanted.InitCheck() != B_OK)
		return false;
	BMessage types;
	if (GetSupportedTypes(&types) != B_OK)
		return false;
	const char* supported;
	for (int32 i = 0; types.FindString("types", i, &supported) == B_OK; i++) {
		// A supertype, or "application/octet-stream", stands for everything it covers.
		BMimeType entry(supported);
		if (entry.Contains(&wanted) || entry == B_FILE_MIME_TYPE)
			return true;
	}
	return false;
}

status_t
BAppFileInfo::GetIcon(BBitmap* icon, icon_size which) const
{
	if (icon == nullptr || (which != B_LARGE_ICON && which != B_MINI_ICON))
		return B_BAD_VALUE;
	std::vector<uint8> data;
	status_t status =
		_ReadData(BPrivate::icon_name(which), kIconId, BPrivate::icon_type(which), &data);
	if (status != B_OK)
		return status;
	return BPrivate::icon_to_bitmap(data.data(), data.size(), which, icon);
}

status_t
BAppFileInfo::SetIcon(const BBitmap* icon, icon_size which)
{
	if (which != B_LARGE_ICON && which != B_MINI_ICON)
		return B_BAD_VALUE;
	if (icon == nullptr) {
		return _WriteData(
			BPrivate::icon_name(which), kIconId, BPrivate::icon_type(which), nullptr, 0, false);
	}
	std::vector<uint8> bits;
	status_t status = BPrivate::bitmap_to_icon(icon, which, &bits);
	if (status != B_OK)
		return status;
	return _WriteData(BPrivate::icon_name(which), kIconId, BPrivate::icon_type(which), bits.data(),
		bits.size(), false);
}

status_t
BAppFileInfo::GetVersionInfo(version_info* info, version_kind kind) const
{
	if (info == nullptr || (kind != B_APP_VERSION_KIND && kind != B_SYSTEM_VERSION_KIND))
		return B_BAD_VALUE;
	std::vector<uint8> data;
	status_t status = _ReadData(kVersionName, kVersionId, kVersionType, &data);
	if (status != B_OK)
		return status;
	size_t offset = kind == B_APP_VERSION_KIND ? 0 : kVersionRecordSize;
	if (data.size() < offset + kVersionRecordSize)
		return data.size() == kVersionRecordSize ? (status_t)B_ENTRY_NOT_FOUND
												 : (status_t)B_BAD_DATA;
	const uint8* record = data.data() + offset;
	info->major = get_le32(record);
	info->middle = get_le32(record + 4);
	info->minor = get_le32(record + 8);
	info->variety = get_le32(record + 12);
	info->internal = get_le32(record + 16);
	copy_text(info->short_info, (const char*)record + 20, sizeof(info->short_info));
	copy_text(info->long_info, (const char*)record + 84, sizeof(info->long_info));
	return B_OK;
}

status_t
BAppFileInfo::SetVersionInfo(const version_info* info, version_kind kind)
{
	if (info == nullptr || (kind != B_APP_VERSION_KIND && kind != B_SYSTEM_VERSION_KIND))
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return fStatus;
	std::vector<uint8> data;
	if (_ReadData(kVersionName, kVersionId, kVersionType, &data) != B_OK
		|| (data.size() != kVersionRecordSize && data.size() != 2 * kVersionRecordSize)) {
		data.clear();
	}
	data.resize(2 * kVersionRecordSize, 0);
	uint8* record = data.data() + (kind == B_APP_VERSION_KIND ? 0 : kVersionRecordSize);
	put_le32(record, info->major);
	put_le32(record + 4, info->middle);
	put_le32(record + 8, info->minor);
	put_le32(record + 12, info->variety);
	put_le32(record + 16, info->internal);
	copy_text((char*)record + 20, info->short_info, sizeof(info->short_info));
	copy_text((char*)record + 84, info->long_info, sizeof(info->long_info));
	return _WriteData(kVersionName, kVersionId, kVersionType, data.data(), data.size(), false);
}
