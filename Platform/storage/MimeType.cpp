#include <MimeType.h>

#include "MimePrivate.h"

#include <Entry.h>
#include <FindDirectory.h>
#include <Path.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <unistd.h>
#include <vector>

const char* B_APP_MIME_TYPE = "application/x-vnd.Be-elfexecutable";
const char* B_PEF_APP_MIME_TYPE = "application/x-be-executable";
const char* B_PE_APP_MIME_TYPE = "application/x-vnd.be-peexecutable";
const char* B_ELF_APP_MIME_TYPE = "application/x-vnd.Be-elfexecutable";
const char* B_RESOURCE_MIME_TYPE = "application/x-be-resource";
const char* B_FILE_MIME_TYPE = "application/octet-stream";
const char* B_DIRECTORY_MIME_TYPE = "application/x-vnd.Be-directory";
const char* B_SYMLINK_MIME_TYPE = "application/x-vnd.Be-symlink";
const char* B_VOLUME_MIME_TYPE = "application/x-vnd.Be-volume";

namespace {

// The type database: one small text file per type of "key=value" lines, at
// <User Settings>/beos_mime/<supertype>/<subtype>, lower case; a supertype's own file is
// "@super" in its folder ('@' cannot occur in a type).
const char* const kDatabaseFolder = "beos_mime";
const char* const kSupertypeFile = "@super";
const char* const kPreferredAppKey = "preferred_app";
const char* const kShortDescriptionKey = "short_description";
// A type file is a few lines; anything larger is not ours.
const std::streamsize kMaxDatabaseFile = 64 * 1024;

bool
is_type_character(char c)
{
	if (c <= ' ' || c >= 0x7F)
		return false;
	return strchr("()<>@,;:\\\"/[]?=", c) == nullptr;
}

bool
is_valid_part(const std::string& part)
{
	if (part.empty() || part == "." || part == "..")
		return false;
	return std::all_of(part.begin(), part.end(), is_type_character);
}

std::string
lower_case(const std::string& text)
{
	std::string result = text;
	for (char& c : result)
		c = (char)tolower((unsigned char)c);
	return result;
}

bool
read_lines(const std::string& path, std::vector<std::string>* lines)
{
	std::ifstream stream(path);
	if (!stream)
		return false;
	std::string content(kMaxDatabaseFile, '\0');
	stream.read(content.data(), kMaxDatabaseFile);
	content.resize((size_t)stream.gcount());
	std::istringstream text(content);
	std::string line;
	while (std::getline(text, line)) {
		if (!line.empty())
			lines->push_back(line);
	}
	return true;
}

status_t
write_lines(const std::string& path, const std::vector<std::string>& lines)
{
	// A new file renamed over the old one: a reader never sees half a file.
	std::string temporary = path + ".XXXXXX";
	int fd = mkostemp(temporary.data(), O_CLOEXEC);
	if (fd < 0)
		return B_FROM_POSIX_ERROR(errno);
	std::string content;
	for (const std::string& line : lines)
		content += line + "\n";
	ssize_t written = write(fd, content.data(), content.size());
	status_t status = written == (ssize_t)content.size() ? B_OK : B_IO_ERROR;
	if (written < 0)
		status = B_FROM_POSIX_ERROR(errno);
	if (status == B_OK)
		fchmod(fd, 0644);
	close(fd);
	if (status == B_OK && rename(temporary.c_str(), path.c_str()) != 0)
		status = B_FROM_POSIX_ERROR(errno);
	if (status != B_OK)
		unlink(temporary.c_str());
	return status;
}

} // namespace

BMimeType::BMimeType() :
	fType(nullptr),
	fStatus(B_NO_INIT)
{
}

BMimeType::BMimeType(const char* mimeType) :
	fType(nullptr),
	fStatus(B_NO_INIT)
{
	SetTo(mimeType);
}

BMimeType::~BMimeType()
{
	Unset();
}

status_t
BMimeType::SetTo(const char* mimeType)
{
	Unset();
	if (!IsValid(mimeType))
		return fStatus = B_BAD_VALUE;
	fType = strdup(mimeType);
	if (fType == nullptr)
		return fStatus = B_NO_MEMORY;
	return fStatus = B_OK;
}

void
BMimeType::Unset()
{
	free(fType);
	fType = nullptr;
	fStatus = B_NO_INIT;
}

status_t
BMimeType::InitCheck() const
{
	return fStatus;
}

const char*
BMimeType::Type() const
{
	return fType;
}

bool
BMimeType::IsValid() const
{
	return fStatus == B_OK && IsValid(fType);
}

bool
BMimeType::IsValid(const char* mimeType)
{
	if (mimeType == nullptr)
		return false;
	size_t length = strlen(mimeType);
	if (length == 0 || length >= B_MIME_TYPE_LENGTH)
		return false;
	std::string type(mimeType);
	size_t slash = type.find('/');
	if (slash == std::string::npos)
		return is_valid_part(type);
	return is_valid_part(type.substr(0, slash)) && is_valid_part(type.substr(slash + 1));
}

bool
BMimeType::IsSupertypeOnly() const
{
	return fStatus == B_OK && strchr(fType, '/') == nullptr;
}

status_t
BMimeType::GetSupertype(BMimeType* superType) const
{
	if (superType == nullptr)
		return B_BAD_VALUE;
	if (fStatus != B_OK)
		return fStatus;
	const char* slash = strchr(fType, '/');
	if (slash == nullptr)
		return B_BAD_VALUE;
	return superType->SetTo(std::string(fType, (size_t)(slash - fType)).c_str());
}

bool
BMimeType::operator==(const BMimeType& type) const
{
	return *this == type.Type();
}

bool
BMimeType::operator==(const char* type) const
{
	if (fType == nullptr || type == nullptr)
		return fType == type;
	return strcasecmp(fType, type) == 0;
}

bool
BMimeType::Contains(const BMimeType* type) const
{
	if (type == nullptr || fStatus != B_OK || type->InitCheck() != B_OK)
		return false;
	if (*this == *type)
		return true;
	if (!IsSupertypeOnly())
		return false;
	BMimeType super;
	return type->GetSupertype(&super) == B_OK && *this == super;
}

status_t
BMimeType::_DatabaseFile(std::string* path, bool create) const
{
	if (fStatus != B_OK)
		return fStatus;
	BPath settings;
	status_t status = find_directory(B_USER_SETTINGS_DIRECTORY, &settings, create);
	if (status != B_OK)
		return status;
	std::string type = lower_case(fType);
	size_t slash = type.find('/');
	std::string folder =
		std::string(settings.Path()) + "/" + kDatabaseFolder + "/" + type.substr(0, slash);
	if (create) {
		std::error_code error;
		std::filesystem::create_directories(folder, error);
		if (error)
			return B_FROM_POSIX_ERROR(error.value());
	}
	*path = folder + "/" + (slash == std::string::npos ? kSupertypeFile : type.substr(slash + 1));
	return B_OK;
}

status_t
BMimeType::Install()
{
	std::string path;
	status_t status = _DatabaseFile(&path, true);
	if (status != B_OK)
		return status;
	if (access(path.c_str(), F_OK) == 0)
		return B_FILE_EXISTS;
	return write_lines(path, {});
}

status_t
BMimeType::Delete()
{
	std::string path;
	status_t status = _DatabaseFile(&path, false);
	if (status != B_OK)
		return status;
	if (unlink(path.c_str()) != 0)
		return B_FROM_POSIX_ERROR(errno);
	return B_OK;
}

bool
BMimeType::IsInstalled() const
{
	std::string path;
	return _DatabaseFile(&path, false) == B_OK && access(path.c_str(), F_OK) == 0;
}

status_t
BMimeType::_GetValue(const char* key, char* value, size_t size) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	std::string path;
	status_t status = _DatabaseFile(&path, false);
	if (status != B_OK)
		return status;
	std::vector<std::string> lines;
	if (!read_lines(path, &lines))
		return B_ENTRY_NOT_FOUND;
	std::string prefix = std::string(key) + "=";
	for (const std::string& line : lines) {
		if (line.compare(0, prefix.size(), prefix) != 0)
			continue;
		std::string found = line.substr(prefix.size());
		if (found.size() >= size)
			return B_BAD_DATA;
		memcpy(value, found.c_str(), found.size() + 1);
		return B_OK;
	}
	return B_ENTRY_NOT_FOUND;
}

status_t
BMimeType::_SetValue(const char* key, const char* value)
{
	if (value != nullptr
		&& (strlen(value) >= B_MIME_TYPE_LENGTH || strpbrk(value, "\r\n") != nullptr)) {
		return B_BAD_VALUE;
	}
	std::string path;
	status_t status = _DatabaseFile(&path, true);
	if (status != B_OK)
		return status;
	std::vector<std::string> lines;
	read_lines(path, &lines);
	std::string prefix = std::string(key) + "=";
	lines.erase(
		std::remove_if(lines.begin(), lines.end(),
			[&](const std::string& line) { return line.compare(0, prefix.size(), prefix) == 0; }),
		lines.end());
	if (value != nullptr)
		lines.push_back(prefix + value);
	return write_lines(path, lines);
}

status_t
BMimeType::GetPreferredApp(char* signature, app_verb verb) const
{
	(void)verb;
	return _GetValue(kPreferredAppKey, signature, B_MIME_TYPE_LENGTH);
}

status_t
BMimeType::SetPreferredApp(const char* signature, app_verb verb)
{
	(void)verb;
	if (signature != nullptr && !IsValid(signature))
		return B_BAD_VALUE;
	return _SetValue(kPreferredAppKey, signature);
}

status_t
BMimeType::GetShortDescription(char* description) const
{
	return _GetValue(kShortDescriptionKey, description, B_MIME_TYPE_LENGTH);
}

status_t
BMimeType::SetShortDescription(const char* description)
{
	return _SetValue(kShortDescriptionKey, description);
}

status_t
BMimeType::GuessMimeType(const entry_ref* file, BMimeType* result)
{
	if (file == nullptr || result == nullptr)
		return B_BAD_VALUE;
	BPath path(file);
	if (path.InitCheck() != B_OK)
		return path.InitCheck();
	return GuessMimeType(path.Path(), result);
}

status_t
BMimeType::GuessMimeType(const void* buffer, int32 length, BMimeType* result)
{
	if (buffer == nullptr || length < 0 || result == nullptr)
		return B_BAD_VALUE;
	BPrivate::TypeRecognizer recognizer;
	std::string type;
	status_t status = recognizer.RecognizeData(buffer, (size_t)length, &type);
	if (status != B_OK)
		return status;
	return result->SetTo(type.c_str());
}

status_t
BMimeType::GuessMimeType(const char* filename, BMimeType* result)
{
	if (filename == nullptr || result == nullptr)
		return B_BAD_VALUE;
	BPrivate::TypeRecognizer recognizer;
	std::string type;
	status_t status = recognizer.Recognize(filename, &type);
	if (status != B_OK)
		return status;
	return result->SetTo(type.c_str());
}
