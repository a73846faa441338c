// BMimeType: a MIME type string ("supertype/subtype", compared without regard to case)
// and what the platform's type database keeps about it. The database lives under the
// user settings folder (docs/platform.md).
#ifndef _MIME_TYPE_H
#define _MIME_TYPE_H

#include <EntryRef.h>
#include <Mime.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

#include <string>

enum app_verb { B_OPEN };

extern const char* B_APP_MIME_TYPE; // "application/x-vnd.Be-elfexecutable"
extern const char* B_PEF_APP_MIME_TYPE; // "application/x-be-executable"
extern const char* B_PE_APP_MIME_TYPE; // "application/x-vnd.be-peexecutable"
extern const char* B_ELF_APP_MIME_TYPE; // "application/x-vnd.Be-elfexecutable"
extern const char* B_RESOURCE_MIME_TYPE; // "application/x-be-resource"
extern const char* B_FILE_MIME_TYPE; // "application/octet-stream"
extern const char* B_DIRECTORY_MIME_TYPE; // "application/x-vnd.Be-directory"
extern const char* B_SYMLINK_MIME_TYPE; // "application/x-vnd.Be-symlink"
extern const char* B_VOLUME_MIME_TYPE; // "application/x-vnd.Be-volume"

class BMimeType {
public:
	BMimeType();
	BMimeType(const char* mimeType);
	virtual ~BMimeType();

	BMimeType(const BMimeType&) = delete;
	BMimeType& operator=(const BMimeType&) = delete;

	// B_BAD_VALUE for a string that is not a valid type; the object is then unset.
	status_t SetTo(const char* mimeType);
	void Unset();
	status_t InitCheck() const;

	// NULL when not initialised.
	const char* Type() const;
	bool IsValid() const;
	bool IsSupertypeOnly() const;
	// B_BAD_VALUE for a supertype-only type.
	status_t GetSupertype(BMimeType* superType) const;

	bool operator==(const BMimeType& type) const;
	bool operator==(const char* type) const;
	// True when type is this type or, for a supertype, one of its subtypes.
	bool Contains(const BMimeType* type) const;

	// The type database. Setters install the type when it is not installed yet.
	status_t Install();
	status_t Delete();
	bool IsInstalled() const;
	// signature: B_MIME_TYPE_LENGTH bytes. B_ENTRY_NOT_FOUND when none is set.
	status_t GetPreferredApp(char* signature, app_verb verb = B_OPEN) const;
	// NULL removes the preferred application.
	status_t SetPreferredApp(const char* signature, app_verb verb = B_OPEN);
	// description: B_MIME_TYPE_LENGTH bytes.
	status_t GetShortDescription(char* description) const;
	status_t SetShortDescription(const char* description);

	static bool IsValid(const char* mimeType);

	// What the recogniser says about a file (by its kind and content), or about data.
	static status_t GuessMimeType(const entry_ref* file, BMimeType* result);
	static status_t GuessMimeType(const void* buffer, int32 length, BMimeType* result);
	static status_t GuessMimeType(const char* filename, BMimeType* result);

private:
	status_t _DatabaseFile(std::string* path, bool create) const;
	status_t _GetValue(const char* key, char* value, size_t size) const;
	status_t _SetValue(const char* key, const char* value);

	char* fType;
	status_t fStatus;
};

#endif // _MIME_TYPE_H
