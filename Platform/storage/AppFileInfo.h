// BAppFileInfo: the metadata of a program: signature, application flags, supported
// types, version records, icons and type. An executable or resource file keeps them in
// its resources (the BeOS layout of formats.md, section 4), and its signature and type
// are mirrored to attributes; any other file keeps them in attributes.
#ifndef _APP_FILE_INFO_H
#define _APP_FILE_INFO_H

#include <NodeInfo.h>

#include <memory>
#include <string>
#include <vector>

class BBitmap;
class BFile;
class BMessage;
class BResources;

struct version_info {
	uint32 major;
	uint32 middle;
	uint32 minor;
	uint32 variety;
	uint32 internal;
	char short_info[64];
	char long_info[256];
};

enum info_variety {
	B_DEVELOPMENT_VERSION = 0,
	B_ALPHA_VERSION,
	B_BETA_VERSION,
	B_GAMMA_VERSION,
	B_GOLDEN_MASTER_VERSION,
	B_FINAL_VERSION
};

enum version_kind { B_APP_VERSION_KIND, B_SYSTEM_VERSION_KIND };

// The application flags (APPF); Roster.h defines them too.
#ifndef B_LAUNCH_MASK
#define B_LAUNCH_MASK (0x3)
#define B_SINGLE_LAUNCH (0x0)
#define B_MULTIPLE_LAUNCH (0x1)
#define B_EXCLUSIVE_LAUNCH (0x2)
#define B_BACKGROUND_APP (0x4)
#define B_ARGV_ONLY (0x8)
#endif

class BAppFileInfo : public BNodeInfo {
public:
	BAppFileInfo();
	// The file stays the caller's and must outlive this object.
	BAppFileInfo(BFile* file);
	virtual ~BAppFileInfo();

	status_t SetTo(BFile* file);

	virtual status_t GetType(char* type) const;
	virtual status_t SetType(const char* type);

	// signature holds B_MIME_TYPE_LENGTH bytes; B_ENTRY_NOT_FOUND when there is none.
	status_t GetSignature(char* signature) const;
	// NULL removes the signature.
	status_t SetSignature(const char* signature);

	status_t GetAppFlags(uint32* flags) const;
	status_t SetAppFlags(uint32 flags);
	status_t RemoveAppFlags();

	// A message whose string field "types" lists the types the program opens.
	status_t GetSupportedTypes(BMessage* types) const;
	// NULL removes the list.
	status_t SetSupportedTypes(const BMessage* types, bool syncAll);
	status_t SetSupportedTypes(const BMessage* types);
	bool IsSupportedType(const char* type) const;

	virtual status_t GetIcon(BBitmap* icon, icon_size which) const;
	virtual status_t SetIcon(const BBitmap* icon, icon_size which);

	// B_ENTRY_NOT_FOUND when the file has no version record of that kind.
	status_t GetVersionInfo(version_info* info, version_kind kind) const;
	// Writes both records (680 bytes), keeping the other kind (zero when there was none).
	status_t SetVersionInfo(const version_info* info, version_kind kind);

private:
	status_t _ReadData(const char* name, int32 id, type_code type, std::vector<uint8>* data) const;
	// Into the resources when the file has them (mirrored to an attribute when asked),
	// otherwise into an attribute. NULL data removes the item.
	status_t _WriteData(const char* name, int32 id, type_code type, const void* data, size_t length,
		bool mirrorToAttribute);

	// The node that attributes are read from and written to.
	BNode* _AttributeNode(BNode* pathNode) const;

	std::unique_ptr<BResources> fResources;
	// Where the file was when it was set; see _AttributeNode().
	std::string fPath;
};

#endif // _APP_FILE_INFO_H
