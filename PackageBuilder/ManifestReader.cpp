#include "ManifestReader.h"

#include "LibEntry.h"
#include "LibString.h"
#include "ManifestText.h"
#include "PackageDefs.h"
#include "PackageRules.h"
#include "PayloadLinks.h"

#include <StorageDefs.h>

// The manifest parser reports failures through its result instead of throwing.
#define TOML_EXCEPTIONS 0
// The parser's internal assertions stop the program on some malformed texts ("[=" for one)
// where its own code goes on to report a parse error; the manifest is the author's input,
// so a wrong one must give that error, never an abort.
#define TOML_ASSERT(expr) static_cast<void>(0)
#include <toml++/toml.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool
entry_exists(const std::string& path)
{
	struct stat status;
	return lstat(path.c_str(), &status) == 0;
}

bool
is_regular_file(const std::string& path)
{
	struct stat status;
	return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool
is_executable_file(const std::string& path)
{
	return is_regular_file(path) && access(path.c_str(), X_OK) == 0;
}

std::string
leaf_of(const std::string& path)
{
	std::string trimmed = path;
	while (trimmed.size() > 1 && trimmed.back() == '/')
		trimmed.pop_back();
	size_t slash = trimmed.rfind('/');
	return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

size_t
edit_distance(const std::string& a, const std::string& b)
{
	std::vector<size_t> row(b.size() + 1);
	for (size_t j = 0; j <= b.size(); j++)
		row[j] = j;
	for (size_t i = 1; i <= a.size(); i++) {
		size_t diagonal = row[0];
		row[0] = i;
		for (size_t j = 1; j <= b.size(); j++) {
			size_t above = row[j];
			size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
			row[j] = std::min({ row[j] + 1, row[j - 1] + 1, diagonal + cost });
			diagonal = above;
		}
	}
	return row[b.size()];
}

const char*
type_name(toml::node_type type)
{
	switch (type) {
		case toml::node_type::string:
			return "a string";
		case toml::node_type::integer:
			return "an integer";
		case toml::node_type::floating_point:
			return "a number";
		case toml::node_type::boolean:
			return "true or false";
		case toml::node_type::table:
			return "a table";
		case toml::node_type::array:
			return "an array";
		default:
			return "a date or time";
	}
}

// The state shared while one manifest is read.
struct Context {
	Diagnostics& diagnostics;
	std::string file;
	std::string folder;

	void Error(const toml::source_region& where, const std::string& text)
	{
		diagnostics.Error(file, where.begin.line, where.begin.column, text);
	}

	void Warning(const toml::source_region& where, const std::string& text)
	{
		diagnostics.Warning(file, where.begin.line, where.begin.column, text);
	}

	std::string Resolve(const std::string& path) const
	{
		if (path.empty() || path[0] == '/')
			return path;
		return folder + "/" + path;
	}
};

// Reads the keys of one table. Every key asked for counts as known; Finish reports the
// others as unknown, with the nearest known key when one is close.
class TableReader {
public:
	TableReader(Context& context, const toml::table& table, std::string where) :
		fContext(context),
		fTable(table),
		fWhere(std::move(where))
	{
	}

	const toml::source_region& Source() const { return fTable.source(); }

	const toml::node* Node(const char* key)
	{
		fKnown.insert(key);
		return fTable.get(key);
	}

	bool Has(const char* key)
	{
		fKnown.insert(key);
		return fTable.contains(key);
	}

	void String(const char* key, std::string& out, bool required = false)
	{
		const toml::node* node = Node(key);
		if (node == nullptr) {
			if (required)
				fContext.Error(Source(), "missing '" + std::string(key) + "' in " + fWhere);
			return;
		}
		if (!node->is_string()) {
			_WrongType(key, *node, "a string");
			return;
		}
		out = node->as_string()->get();
		// The configuration stores NUL-terminated texts.
		if (out.find('\0') != std::string::npos)
			fContext.Error(node->source(), "'" + std::string(key) + "' must not hold a NUL");
		if (required && out.empty())
			fContext.Error(node->source(), "'" + std::string(key) + "' must not be empty");
	}

	void String(const char* key, std::optional<std::string>& out)
	{
		std::string value;
		if (Has(key)) {
			String(key, value);
			out = value;
		}
	}

	void Bool(const char* key, bool& out)
	{
		const toml::node* node = Node(key);
		if (node == nullptr)
			return;
		if (!node->is_boolean()) {
			_WrongType(key, *node, "true or false");
			return;
		}
		out = node->as_boolean()->get();
	}

	bool Integer(const char* key, int64& out, int64 minimum, int64 maximum)
	{
		const toml::node* node = Node(key);
		if (node == nullptr)
			return false;
		if (!node->is_integer()) {
			_WrongType(key, *node, "an integer");
			return false;
		}
		int64 value = node->as_integer()->get();
		if (value < minimum || value > maximum) {
			fContext.Error(node->source(),
				"'" + std::string(key) + "' must lie between " + std::to_string(minimum) + " and "
					+ std::to_string(maximum));
			return false;
		}
		out = value;
		return true;
	}

	bool Integer32(const char* key, int32& out, int64 minimum, int64 maximum)
	{
		int64 value = 0;
		if (!Integer(key, value, minimum, maximum))
			return false;
		out = static_cast<int32>(value);
		return true;
	}

	bool Number(const char* key, double& out)
	{
		const toml::node* node = Node(key);
		if (node == nullptr)
			return false;
		if (node->is_integer()) {
			out = static_cast<double>(node->as_integer()->get());
			return true;
		}
		if (node->is_floating_point()) {
			out = node->as_floating_point()->get();
			return true;
		}
		_WrongType(key, *node, "a number");
		return false;
	}

	void StringList(const char* key, std::vector<std::string>& out)
	{
		const toml::node* node = Node(key);
		if (node == nullptr)
			return;
		const toml::array* array = node->as_array();
		if (array == nullptr) {
			_WrongType(key, *node, "an array of strings");
			return;
		}
		out.clear();
		for (const toml::node& element : *array) {
			if (!element.is_string()) {
				fContext.Error(element.source(),
					"'" + std::string(key) + "' must hold strings only, not "
						+ type_name(element.type()));
				continue;
			}
			out.push_back(element.as_string()->get());
		}
	}

	const toml::table* Table(const char* key)
	{
		const toml::node* node = Node(key);
		if (node == nullptr)
			return nullptr;
		if (!node->is_table()) {
			_WrongType(key, *node, "a table ([" + std::string(key) + "])");
			return nullptr;
		}
		return node->as_table();
	}

	// An array of tables ([[key]]); elements that are not tables are reported.
	std::vector<const toml::table*> Tables(const char* key)
	{
		std::vector<const toml::table*> tables;
		const toml::node* node = Node(key);
		if (node == nullptr)
			return tables;
		const toml::array* array = node->as_array();
		if (array == nullptr) {
			_WrongType(key, *node, "an array of tables ([[" + std::string(key) + "]])");
			return tables;
		}
		for (const toml::node& element : *array) {
			if (!element.is_table()) {
				fContext.Error(
					element.source(), "each '" + std::string(key) + "' entry must be a table");
				continue;
			}
			tables.push_back(element.as_table());
		}
		return tables;
	}

	void Finish()
	{
		for (auto&& [key, node] : fTable) {
			std::string name(key.str());
			if (fKnown.count(name) != 0)
				continue;
			std::string text = "unknown key '" + name + "' in " + fWhere;
			std::string nearest;
			size_t best = 3;
			for (const std::string& known : fKnown) {
				size_t distance = edit_distance(name, known);
				if (distance < best) {
					best = distance;
					nearest = known;
				}
			}
			if (!nearest.empty())
				text += " (did you mean '" + nearest + "'?)";
			fContext.Error(key.source(), text);
		}
	}

private:
	void _WrongType(const char* key, const toml::node& node, const std::string& expected)
	{
		fContext.Error(node.source(),
			"'" + std::string(key) + "' must be " + expected + ", not " + type_name(node.type()));
	}

	Context& fContext;
	const toml::table& fTable;
	std::string fWhere;
	std::set<std::string> fKnown;
};

// Reads a path key and checks that something exists there.
void
read_path(Context& context, TableReader& reader, const char* key, std::string& out,
	bool mustBeFile = true)
{
	std::string value;
	reader.String(key, value);
	if (value.empty())
		return;
	out = context.Resolve(value);
	const toml::node* node = reader.Node(key);
	if (mustBeFile ? !is_regular_file(out) : !entry_exists(out))
		context.Error(node->source(), "'" + std::string(key) + "': no file at " + out);
}

bool
is_collision_mode(const std::string& mode)
{
	return mode == Package::kPrompt || mode == Package::kRename || mode == Package::kReplace;
}

// A place an item can go to or be linked from: the installation folder, a custom folder of
// the manifest or a standard folder.
bool
is_place(const Manifest& manifest, const std::string& name)
{
	if (name == Package::kUserSelected || LibStdDirNameExists(name.c_str()))
		return true;
	for (const ManifestCustomFolder& folder : manifest.customFolders) {
		if (folder.name == name)
			return true;
	}
	return false;
}

void
read_script(Context& context, TableReader& scripts, const char* key, ManifestScript& script)
{
	const toml::table* table = scripts.Table(key);
	if (table == nullptr)
		return;
	TableReader reader(context, *table, std::string("[scripts.") + key + "]");
	script.enabled = true;
	reader.Bool("enabled", script.enabled);
	reader.String("tag", script.tag, script.enabled);
	reader.String("contents", script.contents);
	if (reader.Has("tag")) {
		std::string problem = package_rules::ScriptTagProblem(script.tag);
		if (!problem.empty())
			context.Error(reader.Node("tag")->source(), problem);
	}
	reader.Finish();
}

// The enabled sections of one package share the user's scripts with each other and with
// the start-up section: no tag may equal or contain another, and no contents may hold a
// marker line of any of them.
void
check_scripts(Context& context, const toml::table& scripts, const Manifest& manifest)
{
	struct {
		const char* key;
		const ManifestScript& script;
	} const all[] = {
		{ "bootscript", manifest.bootscript },
		{ "setup_environment", manifest.setupEnvironment },
		{ "profile", manifest.profile },
	};

	auto where = [&](const char* key, const char* field) -> const toml::source_region& {
		const toml::node* node = scripts.at_path(std::string(key) + "." + field).node();
		if (node == nullptr)
			node = scripts.get(key);
		return node != nullptr ? node->source() : scripts.source();
	};

	std::vector<std::string> tags;
	for (const auto& each : all) {
		if (each.script.enabled)
			tags.push_back(each.script.tag);
	}
	for (size_t i = 0; i < std::size(all); i++) {
		if (!all[i].script.enabled)
			continue;
		for (size_t j = 0; j < i; j++) {
			if (!all[j].script.enabled)
				continue;
			std::string problem =
				package_rules::ScriptTagsProblem(all[j].script.tag, all[i].script.tag);
			if (!problem.empty())
				context.Error(where(all[i].key, "tag"),
					problem + " ([scripts." + all[j].key + "] and [scripts." + all[i].key + "])");
		}
		std::string problem = package_rules::ScriptContentsProblem(all[i].script.contents, tags);
		if (!problem.empty())
			context.Error(where(all[i].key, "contents"), problem);
	}
}

void
read_product(Context& context, TableReader& top, Manifest& manifest)
{
	const toml::table* table = top.Table("product");
	if (table == nullptr) {
		context.diagnostics.Error(context.file, 0, 0, "missing the [product] table");
		return;
	}
	TableReader reader(context, *table, "[product]");
	reader.String("name", manifest.name, true);
	reader.String("version", manifest.version, true);
	reader.String("release_date", manifest.releaseDate, true);
	reader.String("company", manifest.company, true);
	reader.String("support_email", manifest.supportEmail, true);
	manifest.packageName = manifest.name + " " + manifest.version;
	reader.String("package_name", manifest.packageName);

	reader.String("license", manifest.license);
	if (reader.Has("license_file")) {
		if (reader.Has("license"))
			context.Error(reader.Node("license_file")->source(),
				"give either 'license' or 'license_file', not both");
		std::string path;
		read_path(context, reader, "license_file", path);
		if (!path.empty() && is_regular_file(path)) {
			std::ifstream stream(path, std::ios::binary);
			std::ostringstream text;
			text << stream.rdbuf();
			manifest.license = text.str();
			if (manifest.license.find('\0') != std::string::npos)
				context.Error(reader.Node("license_file")->source(),
					"the licence file holds a NUL byte; it must be text");
		}
	}

	read_path(context, reader, "about_image", manifest.aboutImage);
	read_path(context, reader, "sound", manifest.sound);
	reader.String("recorded_sound_path", manifest.recordedSoundPath);
	reader.Finish();

	// The deinstaller recognises its installation by a tag made of these five texts, and
	// it reads at most 255 bytes of it.
	LibString tag;
	tag.Formatted("%s;%s;%s;%s;%s;", manifest.name.c_str(), manifest.version.c_str(),
		manifest.releaseDate.c_str(), manifest.company.c_str(), manifest.supportEmail.c_str());
	if (tag.Length() > Package::kMaxTagLength)
		context.Error(reader.Source(),
			"the installation tag (name;version;release_date;company;support_email;) is "
				+ std::to_string(tag.Length()) + " bytes long; the deinstaller recognises at most "
				+ std::to_string(Package::kMaxTagLength));
}

void
read_options(Context& context, TableReader& top, Manifest& manifest)
{
	const toml::table* table = top.Table("options");
	if (table == nullptr) {
		context.diagnostics.Error(
			context.file, 0, 0, "missing the [options] table (it names the created folder)");
		return;
	}
	TableReader reader(context, *table, "[options]");
	reader.String("created_folder", manifest.createdFolder, true);
	if (!manifest.createdFolder.empty()) {
		std::string problem = package_rules::CreatedFolderProblem(manifest.createdFolder);
		if (!problem.empty())
			context.Error(reader.Node("created_folder")->source(), "'created_folder': " + problem);
	}
	reader.String("default_folder", manifest.defaultFolder);
	if (manifest.defaultFolder && *manifest.defaultFolder != Package::kCurrentFolder
		&& !LibStdDirNameExists(manifest.defaultFolder->c_str()))
		context.Error(reader.Node("default_folder")->source(),
			"'default_folder' must be \"Current\" or a standard folder name, not '"
				+ *manifest.defaultFolder + "'");
	reader.Bool("log", manifest.log);
	reader.Bool("create_startup", manifest.createStartup);
	reader.Bool("save_replaced", manifest.saveReplaced);
	reader.Bool("show_beos_folders", manifest.showBeosFolders);
	reader.Integer32("compression", manifest.compression, 0, 9);
	reader.Finish();
}

void
read_requirements(Context& context, TableReader& top, Manifest& manifest)
{
	const toml::table* table = top.Table("requirements");
	if (table == nullptr)
		return;
	TableReader reader(context, *table, "[requirements]");
	reader.Bool("boot_volume_only", manifest.bootVolumeOnly);
	reader.Bool("removable_volumes_ok", manifest.removableVolumesOk);
	reader.Bool("shared_volumes_ok", manifest.sharedVolumesOk);

	if (reader.Number("disk_space_kb", manifest.diskSpaceKb)) {
		manifest.diskSpaceCheck = true;
		// The installer reads the amount in bytes as a signed 32-bit count; NaN and the
		// infinities compare false with every bound, so they are named first.
		if (!std::isfinite(manifest.diskSpaceKb))
			context.Error(
				reader.Node("disk_space_kb")->source(), "'disk_space_kb' must be a finite number");
		else if (manifest.diskSpaceKb < 0 || manifest.diskSpaceKb * 1024.0 > 2147483647.0)
			context.Error(reader.Node("disk_space_kb")->source(),
				"'disk_space_kb' must lie between 0 and 2097151 (2 GB)");
	}
	reader.Bool("disk_space_check", manifest.diskSpaceCheck);
	reader.Bool("disk_space_required", manifest.diskSpaceRequired);

	if (reader.Integer32("ram_mb", manifest.ramMb, 0, INT32_MAX))
		manifest.ramCheck = true;
	reader.Bool("ram_check", manifest.ramCheck);
	reader.Bool("ram_required", manifest.ramRequired);

	reader.StringList("libraries", manifest.libraries);
	reader.Bool("libraries_required", manifest.librariesRequired);
	reader.StringList("apps", manifest.apps);
	reader.Bool("apps_required", manifest.appsRequired);
	reader.Finish();
}

void
read_completion(Context& context, TableReader& top, Manifest& manifest)
{
	const toml::table* table = top.Table("completion");
	if (table == nullptr)
		return;
	TableReader reader(context, *table, "[completion]");
	reader.String("comments", manifest.completeComments);
	reader.Bool("restart", manifest.completeRestart);
	reader.Bool("display_folder", manifest.completeDisplayFolder);
	reader.Finish();
}

void
read_install_types(Context& context, TableReader& top, Manifest& manifest)
{
	std::set<std::string> names;
	for (const toml::table* table : top.Tables("install_types")) {
		TableReader reader(context, *table, "[[install_types]]");
		ManifestInstallType type;
		reader.String("name", type.name, true);
		reader.String("description", type.description);
		reader.Finish();
		// Items list their install types separated by ";".
		if (type.name.find(';') != std::string::npos)
			context.Error(reader.Node("name")->source(), "an install type name cannot hold ';'");
		if (!type.name.empty() && !names.insert(type.name).second)
			context.Error(
				reader.Node("name")->source(), "install type '" + type.name + "' is defined twice");
		manifest.installTypes.push_back(type);
	}
}

void
read_custom_folders(Context& context, TableReader& top, Manifest& manifest)
{
	std::set<std::string> names;
	for (const toml::table* table : top.Tables("custom_folders")) {
		TableReader reader(context, *table, "[[custom_folders]]");
		ManifestCustomFolder folder;
		reader.String("name", folder.name, true);
		if (!folder.name.empty() && !names.insert(folder.name).second)
			context.Error(reader.Node("name")->source(),
				"custom folder '" + folder.name + "' is defined twice");
		if (folder.name == Package::kUserSelected || folder.name == Package::kNone)
			context.Error(reader.Node("name")->source(),
				"'" + folder.name + "' is reserved and cannot name a custom folder");

		const toml::node* root = reader.Node("root");
		if (root == nullptr)
			context.Error(reader.Source(), "missing 'root' in [[custom_folders]]");
		else if (root->is_string()) {
			directory_which which;
			if (LibGetStdDirName(root->as_string()->get().c_str(), which))
				folder.root = static_cast<int32>(which);
			else
				context.Error(root->source(),
					"'root' must be a standard folder name, not '" + root->as_string()->get()
						+ "'");
		} else if (root->is_integer()) {
			// Checked before narrowing: a code beyond 32 bits must not wrap onto a valid one.
			int64 code = root->as_integer()->get();
			LibString name;
			if (code < INT32_MIN || code > INT32_MAX
				|| !LibGetStdDirName(static_cast<directory_which>(code), name))
				context.Error(root->source(), "'root' is not a standard folder code");
			else
				folder.root = static_cast<int32>(code);
		} else
			context.Error(root->source(), "'root' must be a standard folder name");

		reader.String("sub_dir", folder.subDir);
		std::string problem = package_rules::SubDirProblem(folder.subDir);
		if (!problem.empty())
			context.Error(
				reader.Has("sub_dir") ? reader.Node("sub_dir")->source() : reader.Source(),
				"'sub_dir' of custom folder '" + folder.name + "': " + problem);
		reader.Bool("replace", folder.replace);
		reader.Finish();
		manifest.customFolders.push_back(folder);
	}
}

void
read_items(Context& context, TableReader& top, Manifest& manifest)
{
	std::set<std::string> typeNames;
	for (const ManifestInstallType& type : manifest.installTypes)
		typeNames.insert(type.name);

	std::vector<std::pair<std::string, int64>> leaves;
	for (const toml::table* table : top.Tables("items")) {
		TableReader reader(context, *table, "[[items]]");
		ManifestItem item;
		item.line = table->source().begin.line;

		std::string path;
		reader.String("path", path, true);
		if (!path.empty()) {
			item.path = context.Resolve(path);
			while (item.path.size() > 1 && item.path.back() == '/')
				item.path.pop_back();
			std::string leaf = leaf_of(item.path);
			const toml::source_region& where = reader.Node("path")->source();
			if (!entry_exists(item.path))
				context.Error(where, "payload not found: " + item.path);
			else if (leaf.empty() || leaf == "." || leaf == "..")
				context.Error(where, "the payload path must end in a file or folder name");
			else if (leaf.size() >= B_FILE_NAME_LENGTH)
				context.Error(where, "the payload's name is longer than 255 bytes");
			else {
				for (const std::string& link : FindLinksLeavingItem(item.path))
					context.Error(where,
						"the payload's link " + link
							+ " points outside the item; the installer would refuse it");
			}
			for (const auto& [other, line] : leaves) {
				if (other == leaf)
					context.Warning(where,
						"the name '" + leaf + "' is also used by the item on line "
							+ std::to_string(line)
							+ "; both would be installed under the same name");
			}
			leaves.emplace_back(leaf, item.line);
		}

		reader.String("destination", item.destination);
		if (!is_place(manifest, item.destination))
			context.Error(
				reader.Has("destination") ? reader.Node("destination")->source() : reader.Source(),
				"destination '" + item.destination
					+ "' is neither \"User Selected\", a custom folder nor a standard folder");
		reader.String("destination_exists", item.destinationExists);
		if (!is_collision_mode(item.destinationExists))
			context.Error(reader.Node("destination_exists")->source(),
				"unknown collision mode '" + item.destinationExists
					+ "' (use \"Prompt\", \"Rename\" or \"Replace\")");
		reader.String("link", item.link);
		if (item.link != Package::kNone && !is_place(manifest, item.link))
			context.Error(reader.Node("link")->source(),
				"link '" + item.link
					+ "' is neither \"None\", \"User Selected\", a custom folder nor a standard "
					  "folder");
		if (item.link == item.destination)
			context.Error(reader.Node("link")->source(),
				"'link' names the item's own destination '" + item.link
					+ "': the link would take the item's place");
		reader.String("link_exists", item.linkExists);
		if (!is_collision_mode(item.linkExists))
			context.Error(reader.Node("link_exists")->source(),
				"unknown collision mode '" + item.linkExists
					+ "' (use \"Prompt\", \"Rename\" or \"Replace\")");
		reader.Bool("deinstallable", item.deinstallable);
		reader.Bool("auto_launch", item.autoLaunch);
		reader.String("auto_launch_reason", item.autoLaunchReason);

		reader.StringList("install_types", item.installTypes);
		for (const std::string& type : item.installTypes) {
			if (typeNames.count(type) == 0)
				context.Error(reader.Node("install_types")->source(),
					"install type '" + type + "' is not defined in [[install_types]]");
		}

		reader.String("recorded_path", item.recordedPath);
		// The installer finds an item's payload by the leaf of the recorded path.
		if (item.recordedPath && !item.path.empty()
			&& leaf_of(*item.recordedPath) != leaf_of(item.path))
			context.Error(reader.Node("recorded_path")->source(),
				"'recorded_path' must end in the payload's name '" + leaf_of(item.path) + "', not '"
					+ leaf_of(*item.recordedPath) + "'");
		if (const toml::node* sizes = reader.Node("recorded_size")) {
			const toml::array* array = sizes->as_array();
			std::vector<int32> values;
			if (array != nullptr) {
				for (const toml::node& element : *array) {
					if (element.is_integer() && element.as_integer()->get() >= 0
						&& element.as_integer()->get() <= INT32_MAX)
						values.push_back(static_cast<int32>(element.as_integer()->get()));
				}
			}
			if (array == nullptr || values.size() != array->size() || values.empty()
				|| values.size() > 2)
				context.Error(sizes->source(),
					"'recorded_size' must be an array of one or two sizes in bytes");
			else
				item.recordedSize = values;
		}
		int64 time = 0;
		if (reader.Integer("created", time, INT64_MIN, INT64_MAX))
			item.created = time;
		if (reader.Integer("modified", time, INT64_MIN, INT64_MAX))
			item.modified = time;
		if (reader.Integer("accessed", time, INT64_MIN, INT64_MAX))
			item.accessed = time;
		reader.Finish();
		manifest.items.push_back(item);
	}
}

} // namespace

ManifestReader::ManifestReader(Diagnostics& diagnostics) :
	fDiagnostics(diagnostics)
{
}

bool
ManifestReader::Read(const std::string& path, Manifest& manifest)
{
	std::ifstream stream(path, std::ios::binary);
	if (!stream) {
		fDiagnostics.Error(path, 0, 0, "cannot read the manifest");
		return false;
	}
	std::ostringstream text;
	text << stream.rdbuf();

	std::string folder = ".";
	size_t slash = path.rfind('/');
	if (slash != std::string::npos)
		folder = slash == 0 ? "/" : path.substr(0, slash);
	char* absolute = realpath(folder.c_str(), nullptr);
	if (absolute != nullptr) {
		folder = absolute;
		free(absolute);
	}
	return ReadText(text.str(), path, folder, manifest);
}

bool
ManifestReader::ReadText(
	const std::string& text, const std::string& path, const std::string& folder, Manifest& manifest)
{
	int32 errorsBefore = fDiagnostics.ErrorCount();
	manifest = Manifest();
	manifest.file = path;
	manifest.folder = folder;

	ManifestTextProblem problem;
	if (!CheckManifestText(text, problem)) {
		fDiagnostics.Error(path, problem.line, problem.column, problem.text);
		return false;
	}

	toml::parse_result result = toml::parse(text, path);
	if (!result) {
		const toml::parse_error& error = result.error();
		fDiagnostics.Error(path, error.source().begin.line, error.source().begin.column,
			std::string(error.description()));
		return false;
	}

	Context context { fDiagnostics, path, folder };
	const toml::table& table = result.table();
	TableReader top(context, table, "the manifest");
	read_path(context, top, "base", manifest.base);
	read_path(context, top, "deinstaller", manifest.deinstaller);
	// The installer is a copy of the base, and installations run the deinstaller.
	for (const auto& [key, program] : { std::pair { "base", &manifest.base },
			 std::pair { "deinstaller", &manifest.deinstaller } }) {
		if (!program->empty() && is_regular_file(*program) && !is_executable_file(*program))
			context.Error(top.Node(key)->source(),
				"'" + std::string(key) + "': " + *program
					+ " is not a program (a regular file that can be run)");
	}
	read_path(context, top, "help", manifest.help);

	read_product(context, top, manifest);
	read_options(context, top, manifest);
	read_requirements(context, top, manifest);
	if (const toml::table* scripts = top.Table("scripts")) {
		TableReader reader(context, *scripts, "[scripts]");
		read_script(context, reader, "bootscript", manifest.bootscript);
		read_script(context, reader, "setup_environment", manifest.setupEnvironment);
		read_script(context, reader, "profile", manifest.profile);
		reader.Finish();
		check_scripts(context, *scripts, manifest);
	}
	read_completion(context, top, manifest);
	read_install_types(context, top, manifest);
	read_custom_folders(context, top, manifest);
	read_items(context, top, manifest);
	top.Finish();

	if (manifest.createStartup) {
		bool found = false;
		for (const ManifestCustomFolder& folder : manifest.customFolders)
			found = found || folder.name == Package::kStartUpFolder;
		if (!found)
			fDiagnostics.Error(path, 0, 0,
				"'create_startup' needs a custom folder named \"StartUp\" that says where the "
				"start-up folder goes");
	}
	if (manifest.items.empty())
		fDiagnostics.Warning(path, 0, 0, "the manifest has no [[items]]: nothing to install");

	return fDiagnostics.ErrorCount() == errorsBefore;
}
