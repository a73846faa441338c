// AddAppResources: the build step that turns a linked program into a finished BeOS-style
// executable. It reads the program's resource definition (TOML: signature, type, launch
// flags, supported types, version record and icons drawn as text, one character a pixel)
// and appends those resources to the executable, plus any file packed as a 'RAWT'
// resource (a ZIP archive whose one entry bears the file's leaf name). Not shipped.
//
//   AddAppResources EXECUTABLE DEFINITION [--zip ID NAME FILE]...
#include "LibAppResource.h"

#include <AppFileInfo.h>
#include <Message.h>
#include <Mime.h>
#include <Palette.h>
#include <TypeConstants.h>

// The definition reader reports failures through its result instead of throwing.
#define TOML_EXCEPTIONS 0
#include <toml++/toml.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// The resource types and ids every program carries (see the package layout).
constexpr type_code kMiniIconType = 'MICN';
constexpr type_code kLargeIconType = 'ICON';
constexpr type_code kMessageType = 'MSGG';
constexpr type_code kMimeStringType = 'MIMS';
constexpr type_code kAppFlagsType = 'APPF';
constexpr type_code kAppVersionType = 'APPV';
constexpr int32 kFileTypesId = 1;
constexpr int32 kAppSignatureId = 1;
constexpr int32 kAppTypeId = 2;
constexpr int32 kAppFlagsId = 1;
constexpr int32 kAppVersionId = 1;
constexpr uint8 kTransparentIndex = 255;
constexpr int kZipLevel = 9;

struct ZipResource {
	int32 id;
	std::string name;
	std::string file;
};

class Definition {
public:
	explicit Definition(const std::string& path) :
		fPath(path)
	{
	}

	bool Apply(const toml::table& table, BResources& resources);

private:
	bool _Error(const toml::node* node, const std::string& message);
	bool _String(const toml::table& table, const char* key, std::string& value);
	bool _Number(const toml::table& table, const char* key, int64& value);
	bool _Legend(const toml::table& table);
	bool _Icon(const toml::table& icon, BResources& resources);
	bool _Rows(const toml::table& icon, const char* key, int32 side, std::vector<uint8>& bits);
	bool _Version(const toml::table& table, BResources& resources);
	bool _FileTypes(const toml::table& table, BResources& resources);

	std::string fPath;
	std::map<char, uint8> fLegend;
};

bool
Definition::_Error(const toml::node* node, const std::string& message)
{
	int line = node != nullptr ? static_cast<int>(node->source().begin.line) : 0;
	fprintf(stderr, "AddAppResources: %s:%d: %s\n", fPath.c_str(), line, message.c_str());
	return false;
}

bool
Definition::_String(const toml::table& table, const char* key, std::string& value)
{
	const toml::node* node = table.get(key);
	if (node == nullptr || !node->is_string())
		return _Error(&table, std::string("'") + key + "' must be a string");
	value = node->as_string()->get();
	return true;
}

bool
Definition::_Number(const toml::table& table, const char* key, int64& value)
{
	const toml::node* node = table.get(key);
	if (node == nullptr || !node->is_integer())
		return _Error(&table, std::string("'") + key + "' must be a whole number");
	value = node->as_integer()->get();
	return true;
}

// Each key is one character; its value "#rrggbb" becomes the nearest system palette entry.
bool
Definition::_Legend(const toml::table& table)
{
	fLegend.clear();
	fLegend['.'] = kTransparentIndex;
	for (const auto& [key, node] : table) {
		std::string symbol(key.str());
		const toml::value<std::string>* colour = node.as_string();
		if (symbol.size() != 1 || symbol == ".")
			return _Error(&node, "legend keys are single characters other than '.'");
		unsigned red = 0, green = 0, blue = 0;
		if (colour == nullptr || colour->get().size() != 7
			|| sscanf(colour->get().c_str(), "#%02x%02x%02x", &red, &green, &blue) != 3)
			return _Error(&node, "legend colours are written \"#rrggbb\"");
		fLegend[symbol[0]] = index_for_color(
			static_cast<uint8>(red), static_cast<uint8>(green), static_cast<uint8>(blue));
	}
	return true;
}

bool
Definition::_Rows(const toml::table& icon, const char* key, int32 side, std::vector<uint8>& bits)
{
	const toml::array* rows = icon[key].as_array();
	if (rows == nullptr || rows->size() != static_cast<size_t>(side))
		return _Error(&icon,
			std::string("'") + key + "' must be " + std::to_string(side) + " rows of "
				+ std::to_string(side) + " characters");
	bits.clear();
	for (const toml::node& row : *rows) {
		const toml::value<std::string>* text = row.as_string();
		if (text == nullptr || text->get().size() != static_cast<size_t>(side))
			return _Error(&row, "a row of " + std::to_string(side) + " characters is expected");
		for (char symbol : text->get()) {
			auto found = fLegend.find(symbol);
			if (found == fLegend.end())
				return _Error(&row, std::string("'") + symbol + "' is not in the legend");
			bits.push_back(found->second);
		}
	}
	return true;
}

// An icon pair: 'MICN' and 'ICON' of one id, named "BEOS:M:<for>" and "BEOS:L:<for>".
bool
Definition::_Icon(const toml::table& icon, BResources& resources)
{
	int64 id = 0;
	std::string owner;
	if (!_Number(icon, "id", id) || !_String(icon, "for", owner))
		return false;
	std::vector<uint8> mini;
	std::vector<uint8> large;
	if (!_Rows(icon, "mini", B_MINI_ICON, mini) || !_Rows(icon, "large", B_LARGE_ICON, large))
		return false;
	std::string miniName = "BEOS:M:" + owner;
	std::string largeName = "BEOS:L:" + owner;
	return resources.AddResource(
			   kMiniIconType, static_cast<int32>(id), mini.data(), mini.size(), miniName.c_str())
		== B_OK
		&& resources.AddResource(kLargeIconType, static_cast<int32>(id), large.data(), large.size(),
			   largeName.c_str())
		== B_OK;
}

// The application record from the definition, then a zeroed system record.
bool
Definition::_Version(const toml::table& table, BResources& resources)
{
	const toml::table* version = table["version"].as_table();
	if (version == nullptr)
		return _Error(&table, "a [version] table is needed");
	int64 numbers[5] = {};
	const char* keys[5] = { "major", "middle", "minor", "variety", "internal" };
	for (int i = 0; i < 5; i++) {
		if (!_Number(*version, keys[i], numbers[i]))
			return false;
		if (numbers[i] < 0 || numbers[i] > 0xffff)
			return _Error(version, std::string("'") + keys[i] + "' is out of range");
	}
	std::string shortText;
	std::string longText;
	if (!_String(*version, "short", shortText) || !_String(*version, "long", longText))
		return false;

	version_info records[2];
	memset(records, 0, sizeof(records));
	records[0].major = static_cast<uint32>(numbers[0]);
	records[0].middle = static_cast<uint32>(numbers[1]);
	records[0].minor = static_cast<uint32>(numbers[2]);
	records[0].variety = static_cast<uint32>(numbers[3]);
	records[0].internal = static_cast<uint32>(numbers[4]);
	strncpy(records[0].short_info, shortText.c_str(), sizeof(records[0].short_info) - 1);
	strncpy(records[0].long_info, longText.c_str(), sizeof(records[0].long_info) - 1);
	return resources.AddResource(
			   kAppVersionType, kAppVersionId, records, sizeof(records), "BEOS:APP_VERSION")
		== B_OK;
}

// The supported types: a message with one "types" string each (empty for none).
bool
Definition::_FileTypes(const toml::table& table, BResources& resources)
{
	const toml::array* types = table["supported_types"].as_array();
	if (types == nullptr)
		return _Error(&table, "'supported_types' must be a list of types");
	BMessage message;
	for (const toml::node& type : *types) {
		if (!type.is_string())
			return _Error(&type, "a supported type is a string");
		message.AddString("types", type.as_string()->get().c_str());
	}
	std::vector<char> flat(message.FlattenedSize());
	return message.Flatten(flat.data(), flat.size()) == B_OK
		&& resources.AddResource(
			   kMessageType, kFileTypesId, flat.data(), flat.size(), "BEOS:FILE_TYPES")
		== B_OK;
}

bool
Definition::Apply(const toml::table& table, BResources& resources)
{
	std::string signature;
	std::string type;
	int64 flags = 0;
	if (!_String(table, "signature", signature) || !_String(table, "type", type)
		|| !_Number(table, "flags", flags))
		return false;
	if (signature.size() >= B_MIME_TYPE_LENGTH)
		return _Error(&table, "the signature is too long");
	uint32 flagBits = static_cast<uint32>(flags);

	const toml::table* legend = table["legend"].as_table();
	if (legend == nullptr)
		return _Error(&table, "a [legend] table is needed for the icons");
	if (!_Legend(*legend))
		return false;
	const toml::array* icons = table["icon"].as_array();
	if (icons == nullptr)
		return _Error(&table, "at least one [[icon]] is needed");
	for (const toml::node& icon : *icons) {
		if (!icon.is_table())
			return _Error(&icon, "[[icon]] entries are tables");
		if (!_Icon(*icon.as_table(), resources))
			return false;
	}

	return _FileTypes(table, resources)
		&& resources.AddResource(kMimeStringType, kAppSignatureId, signature.c_str(),
			   signature.size() + 1, "BEOS:APP_SIG")
		== B_OK
		&& resources.AddResource(
			   kMimeStringType, kAppTypeId, type.c_str(), type.size() + 1, "BEOS:TYPE")
		== B_OK
		&& resources.AddResource(
			   kAppFlagsType, kAppFlagsId, &flagBits, sizeof(flagBits), "BEOS:APP_FLAGS")
		== B_OK
		&& _Version(table, resources);
}

int
usage(const char* message)
{
	fprintf(stderr,
		"AddAppResources: %s\n"
		"usage: AddAppResources EXECUTABLE DEFINITION [--zip ID NAME FILE]...\n",
		message);
	return 2;
}

} // namespace

int
main(int argc, char** argv)
{
	if (argc < 3)
		return usage("an executable and a definition are needed");
	const char* executable = argv[1];
	const char* definitionPath = argv[2];
	std::vector<ZipResource> zips;
	for (int i = 3; i < argc; i++) {
		if (strcmp(argv[i], "--zip") != 0 || i + 3 >= argc)
			return usage((std::string("unknown argument or missing values: ") + argv[i]).c_str());
		char* end = nullptr;
		long id = strtol(argv[i + 1], &end, 10);
		if (*end != '\0' || id < 0 || id > INT32_MAX)
			return usage("--zip takes a resource id");
		// Packing changes the working directory, so every file is made absolute first.
		char* file = realpath(argv[i + 3], nullptr);
		if (file == nullptr) {
			fprintf(stderr, "AddAppResources: %s: %s\n", argv[i + 3], strerror(errno));
			return 1;
		}
		zips.push_back({ static_cast<int32>(id), argv[i + 2], file });
		free(file);
		i += 3;
	}

	toml::parse_result parsed = toml::parse_file(definitionPath);
	if (!parsed) {
		fprintf(stderr, "AddAppResources: %s:%u: %s\n", definitionPath,
			parsed.error().source().begin.line, std::string(parsed.error().description()).c_str());
		return 1;
	}

	LibAppResource resources(executable, B_READ_WRITE);
	if (resources.InitCheck() != B_OK) {
		fprintf(stderr, "AddAppResources: %s: cannot open its resources\n", executable);
		return 1;
	}
	Definition definition(definitionPath);
	if (!definition.Apply(parsed.table(), resources))
		return 1;
	for (const ZipResource& zip : zips) {
		if (!resources.AddEntry(zip.file.c_str(), zip.id, zip.name.c_str(), kZipLevel)) {
			fprintf(stderr, "AddAppResources: cannot pack %s\n", zip.file.c_str());
			return 1;
		}
	}
	if (resources.Sync() != B_OK) {
		fprintf(stderr, "AddAppResources: %s: cannot write its resources\n", executable);
		return 1;
	}
	return 0;
}
