// LibNode: typed attributes, and whole files kept as ZIP archives in attributes.
#include "LibNode.h"

#include "LibFile.h"
#include "LibFilePrivate.h"
#include "LibPrivateFolder.h"
#include "LibString.h"

#include <Entry.h>
#include <File.h>
#include <FindDirectory.h>
#include <Message.h>
#include <Path.h>
#include <TypeConstants.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

LibNode::LibNode() { }

LibNode::LibNode(const BEntry* entry) :
	BNode(entry)
{
}

LibNode::LibNode(const entry_ref* ref) :
	BNode(ref)
{
}

LibNode::LibNode(const char* path) :
	BNode(path)
{
}

LibNode::~LibNode() { }

bool
LibNode::WriteStringAttr(const char* name, const char* value)
{
	if (value == NULL)
		return false;
	RemoveAttr(name);
	size_t length = strlen(value);
	return WriteAttr(name, B_STRING_TYPE, 0, value, length) == (ssize_t)length;
}

ssize_t
LibNode::ReadStringAttr(const char* name, LibString& value)
{
	value = "";
	attr_info info;
	status_t status = GetAttrInfo(name, &info);
	if (status != B_OK)
		return status;
	std::vector<char> buffer(info.size + 1);
	ssize_t read = ReadAttr(name, B_STRING_TYPE, 0, buffer.data(), info.size);
	if (read < 0)
		return read;
	buffer[read] = '\0';
	value = buffer.data();
	return read;
}

bool
LibNode::WriteBoolAttr(const char* name, const bool& value)
{
	RemoveAttr(name);
	uint8 byte = value ? 1 : 0;
	return WriteAttr(name, B_BOOL_TYPE, 0, &byte, 1) == 1;
}

bool
LibNode::ReadBoolAttr(const char* name, bool& value)
{
	uint8 byte = 0;
	if (ReadAttr(name, B_BOOL_TYPE, 0, &byte, 1) != 1)
		return false;
	value = byte != 0;
	return true;
}

bool
LibNode::WriteInt32Attr(const char* name, const long& value)
{
	RemoveAttr(name);
	int32 stored = (int32)value;
	return WriteAttr(name, B_INT32_TYPE, 0, &stored, sizeof(stored)) == sizeof(stored);
}

bool
LibNode::ReadInt32Attr(const char* name, long& value)
{
	int32 stored = 0;
	if (ReadAttr(name, B_INT32_TYPE, 0, &stored, sizeof(stored)) != sizeof(stored))
		return false;
	value = stored;
	return true;
}

bool
LibNode::WriteMessageAttr(const char* name, const BMessage& message)
{
	ssize_t size = message.FlattenedSize();
	if (size <= 0)
		return false;
	std::vector<char> buffer(size);
	if (message.Flatten(buffer.data(), size) != B_OK)
		return false;
	RemoveAttr(name);
	return WriteAttr(name, B_RAW_TYPE, 0, buffer.data(), size) == size;
}

bool
LibNode::ReadMessageAttr(const char* name, BMessage& message)
{
	attr_info info;
	if (GetAttrInfo(name, &info) != B_OK)
		return false;
	std::vector<char> buffer(info.size > 0 ? info.size : 1);
	ssize_t read = ReadAttr(name, B_RAW_TYPE, 0, buffer.data(), info.size);
	if (read != info.size)
		return false;
	return message.Unflatten(buffer.data(), read) == B_OK;
}

bool
LibNode::CompressFile(const char* name, const char* file)
{
	if (!LibExists(file)) {
		fprintf(stderr, "LibNode::CompressFile: %s does not exist\n", file != NULL ? file : "");
		return false;
	}

	// The archive is made in a folder of this process's own: the common temporary folder
	// is shared, and a name in it may have been taken by anyone first.
	BPath workFolder;
	if (!LibMakePrivateFolder(workFolder, "zip"))
		return false;
	std::string work = workFolder.Path();
	BPath archive((work + "/" + lib_file::path_leaf(work) + ".zip").c_str());
	BPath item(file);
	bool ok = LibZip(archive.Path(), item, 9);
	fprintf(stderr, "zipped to %s\n", archive.Path());

	BFile packed(archive.Path(), B_READ_ONLY);
	off_t size = 0;
	if (!ok || packed.InitCheck() != B_OK || packed.GetSize(&size) != B_OK) {
		packed.Unset();
		lib_file::remove_tree(work);
		return false;
	}

	// The attribute gets exactly the archive's bytes; one that cannot hold them all is
	// not left behind in part. No attribute holds more than 64 KiB.
	RemoveAttr(name);
	const off_t kMaxAttributeSize = 65536;
	if (size > kMaxAttributeSize) {
		fprintf(stderr, "LibNode::CompressFile: the archive of %s is too large\n", file);
		ok = false;
		size = 0;
	}
	std::vector<char> buffer(size > 0 ? size : 1);
	const off_t kChunk = 1024;
	for (off_t offset = 0; offset < size && ok; offset += kChunk) {
		size_t length = (size_t)(size - offset < kChunk ? size - offset : kChunk);
		ok = packed.ReadAt(offset, buffer.data() + offset, length) == (ssize_t)length;
	}
	if (ok)
		ok = WriteAttr(name, B_RAW_TYPE, 0, buffer.data(), size) == size;
	if (!ok)
		RemoveAttr(name);
	packed.Unset();
	lib_file::remove_tree(work);
	return ok;
}

bool
LibNode::UncompressFile(const char* target, const char* name, bool unzip)
{
	attr_info info;
	if (name == NULL || GetAttrInfo(name, &info) != B_OK)
		return true;
	// The unpacked item is looked for under the attribute's name in the work folder, so
	// that name must stay a plain leaf.
	if (unzip && !lib_file::is_plain_leaf(name))
		return false;

	std::vector<char> data(info.size > 0 ? info.size : 1);
	ssize_t read = ReadAttr(name, B_RAW_TYPE, 0, data.data(), info.size);
	if (read != info.size)
		return false;

	// Everything happens in a folder of this process's own: in the shared temporary folder
	// a name could be taken by a link, or the expansion merge with a folder someone else
	// left there under the item's name.
	BPath workFolder;
	if (!LibMakePrivateFolder(workFolder, "zip")) {
		fprintf(stderr, "Error initializine file in UncompressFile\n");
		return false;
	}
	std::string work = workFolder.Path();
	std::string temporary = work + "/" + lib_file::path_leaf(work);
	if (temporary == work + "/" + name)
		temporary += ".zip";
	BFile file(temporary.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
	if (file.InitCheck() != B_OK) {
		fprintf(stderr, "Error initializine file in UncompressFile\n");
		lib_file::remove_tree(work);
		return false;
	}
	bool written = file.Write(data.data(), read) == read;
	file.Unset();

	std::string item = temporary;
	bool ready = written;
	if (ready && unzip) {
		ready = LibUnzip(temporary.c_str());
		item = work + "/" + name;
	}

	// Only what arrived is typed: a target folder's other contents keep their types.
	std::string to;
	bool moved = false;
	if (ready && lib_file::target_path(target, &to) == B_OK) {
		std::string destination = lib_file::operation_destination(item, to);
		moved = LibMove(item.c_str(), target);
		if (moved)
			Libmimeset(destination.c_str());
	}
	lib_file::remove_tree(work);
	return moved;
}
