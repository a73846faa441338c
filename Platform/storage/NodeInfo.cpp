#include <NodeInfo.h>

#include "GenericIcons.h"
#include "MimePrivate.h"

#include <Bitmap.h>
#include <MimeType.h>
#include <Resources.h>

#include <cstring>
#include <sys/stat.h>
#include <vector>

namespace {

const char* const kTypeAttribute = "BEOS:TYPE";
const char* const kPreferredAppAttribute = "BEOS:PREF_APP";

} // namespace

BNodeInfo::BNodeInfo() :
	fNode(nullptr),
	fStatus(B_NO_INIT)
{
}

BNodeInfo::BNodeInfo(BNode* node) :
	fNode(nullptr),
	fStatus(B_NO_INIT)
{
	SetTo(node);
}

BNodeInfo::~BNodeInfo() { }

status_t
BNodeInfo::SetTo(BNode* node)
{
	fNode = nullptr;
	if (node == nullptr)
		return fStatus = B_BAD_VALUE;
	if (node->InitCheck() != B_OK)
		return fStatus = node->InitCheck();
	fNode = node;
	return fStatus = B_OK;
}

status_t
BNodeInfo::InitCheck() const
{
	return fStatus;
}

status_t
BNodeInfo::_ReadString(const char* name, char* buffer, size_t size) const
{
	if (fStatus != B_OK)
		return fStatus;
	if (buffer == nullptr || size == 0)
		return B_BAD_VALUE;
	attr_info info;
	status_t status = fNode->GetAttrInfo(name, &info);
	if (status != B_OK)
		return status;
	if (info.size <= 0 || info.size > (off_t)size)
		return B_BAD_DATA;
	ssize_t length = fNode->ReadAttr(name, B_ANY_TYPE, 0, buffer, (size_t)info.size);
	if (length < 0)
		return (status_t)length;
	// A value written without its NUL is still read as a string.
	if ((size_t)length == size && buffer[length - 1] != '\0')
		return B_BAD_DATA;
	buffer[(size_t)length < size ? length : length - 1] = '\0';
	return B_OK;
}

status_t
BNodeInfo::_WriteString(const char* name, type_code type, const char* value)
{
	if (fStatus != B_OK)
		return fStatus;
	if (value == nullptr) {
		status_t status = fNode->RemoveAttr(name);
		return status == B_ENTRY_NOT_FOUND ? B_OK : status;
	}
	size_t length = strlen(value);
	if (length >= B_MIME_TYPE_LENGTH)
		return B_BAD_VALUE;
	// The value replaces a longer one entirely.
	fNode->RemoveAttr(name);
	ssize_t written = fNode->WriteAttr(name, type, 0, value, length + 1);
	return written < 0 ? (status_t)written : B_OK;
}

status_t
BNodeInfo::GetType(char* type) const
{
	if (fStatus != B_OK)
		return fStatus;
	if (type == nullptr)
		return B_BAD_VALUE;
	if (_ReadString(kTypeAttribute, type, B_MIME_TYPE_LENGTH) == B_OK && type[0] != '\0')
		return B_OK;

	std::string path;
	status_t status = BPrivate::path_of_node(fNode, &path);
	if (status != B_OK)
		return status;
	BPrivate::TypeRecognizer recognizer;
	std::string guessed;
	status = recognizer.Recognize(path.c_str(), &guessed);
	if (status != B_OK)
		return status;
	if (guessed.size() >= B_MIME_TYPE_LENGTH)
		return B_BAD_DATA;
	strcpy(type, guessed.c_str());
	return B_OK;
}

status_t
BNodeInfo::SetType(const char* type)
{
	if (type != nullptr && !BMimeType::IsValid(type))
		return B_BAD_VALUE;
	return _WriteString(kTypeAttribute, B_MIME_STRING_TYPE, type);
}

status_t
BNodeInfo::GetIcon(BBitmap* icon, icon_size which) const
{
	if (fStatus != B_OK)
		return fStatus;
	if (icon == nullptr || (which != B_LARGE_ICON && which != B_MINI_ICON))
		return B_BAD_VALUE;
	std::vector<uint8> bits((size_t)which * which);
	attr_info info;
	status_t status = fNode->GetAttrInfo(BPrivate::icon_name(which), &info);
	if (status != B_OK)
		return status;
	if (info.size != (off_t)bits.size())
		return B_BAD_DATA;
	ssize_t length =
		fNode->ReadAttr(BPrivate::icon_name(which), B_ANY_TYPE, 0, bits.data(), bits.size());
	if (length < 0)
		return (status_t)length;
	return BPrivate::icon_to_bitmap(bits.data(), (size_t)length, which, icon);
}

status_t
BNodeInfo::SetIcon(const BBitmap* icon, icon_size which)
{
	if (fStatus != B_OK)
		return fStatus;
	if (which != B_LARGE_ICON && which != B_MINI_ICON)
		return B_BAD_VALUE;
	const char* name = BPrivate::icon_name(which);
	if (icon == nullptr) {
		status_t status = fNode->RemoveAttr(name);
		return status == B_ENTRY_NOT_FOUND ? B_OK : status;
	}
	std::vector<uint8> bits;
	status_t status = BPrivate::bitmap_to_icon(icon, which, &bits);
	if (status != B_OK)
		return status;
	ssize_t written =
		fNode->WriteAttr(name, BPrivate::icon_type(which), 0, bits.data(), bits.size());
	return written < 0 ? (status_t)written : B_OK;
}

status_t
BNodeInfo::GetPreferredApp(char* signature, app_verb verb) const
{
	(void)verb;
	return _ReadString(kPreferredAppAttribute, signature, B_MIME_TYPE_LENGTH);
}

status_t
BNodeInfo::SetPreferredApp(const char* signature, app_verb verb)
{
	(void)verb;
	if (signature != nullptr && !BMimeType::IsValid(signature))
		return B_BAD_VALUE;
	return _WriteString(kPreferredAppAttribute, B_MIME_STRING_TYPE, signature);
}

status_t
BNodeInfo::GetTrackerIcon(BBitmap* icon, icon_size which) const
{
	if (fStatus != B_OK)
		return fStatus;
	if (icon == nullptr || icon->InitCheck() != B_OK
		|| (which != B_LARGE_ICON && which != B_MINI_ICON)) {
		return B_BAD_VALUE;
	}
	if (GetIcon(icon, which) == B_OK)
		return B_OK;

	char type[B_MIME_TYPE_LENGTH];
	if (GetType(type) != B_OK)
		type[0] = '\0';
	struct stat st;
	if (fNode->GetStat(&st) != B_OK)
		memset(&st, 0, sizeof(st));

	BPrivate::generic_icon_kind kind = BPrivate::B_GENERIC_DOCUMENT_ICON;
	if (S_ISLNK(st.st_mode)) {
		kind = BPrivate::B_GENERIC_LINK_ICON;
	} else if (S_ISDIR(st.st_mode)) {
		BMimeType mimeType(type);
		kind = mimeType == B_VOLUME_MIME_TYPE ? BPrivate::B_GENERIC_VOLUME_ICON
											  : BPrivate::B_GENERIC_FOLDER_ICON;
	} else if (BMimeType(type) == B_ELF_APP_MIME_TYPE) {
		// A program shows the icon in its resources.
		std::string path;
		if (BPrivate::path_of_node(fNode, &path) == B_OK) {
			BFile file(path.c_str(), B_READ_ONLY);
			BResources resources;
			size_t size = 0;
			const void* bits = nullptr;
			if (resources.SetTo(&file) == B_OK) {
				bits = resources.LoadResource(
					BPrivate::icon_type(which), BPrivate::icon_name(which), &size);
			}
			if (bits != nullptr && BPrivate::icon_to_bitmap(bits, size, which, icon) == B_OK)
				return B_OK;
		}
		kind = BPrivate::B_GENERIC_APPLICATION_ICON;
	}

	std::vector<uint8> bits((size_t)which * which);
	status_t status = BPrivate::get_generic_icon(kind, which, bits.data());
	if (status != B_OK)
		return status;
	return BPrivate::icon_to_bitmap(bits.data(), bits.size(), which, icon);
}

status_t
BNodeInfo::GetTrackerIcon(const entry_ref* ref, BBitmap* icon, icon_size which)
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	BNode node(ref);
	BNodeInfo info(&node);
	status_t status = info.InitCheck();
	if (status != B_OK)
		return status;
	return info.GetTrackerIcon(icon, which);
}
