// The rules a package must keep so that installing it cannot hurt the user: names that
// stay one folder, custom folders that never stand for a standard folder itself, script
// sections that cannot cut out each other, sizes that fit the configuration's 32-bit
// fields. The manifest reader holds a manifest against them before building, and the check
// command holds a built installer's configuration against the same rules. Each function
// gives an empty text when the value is sound, else what is wrong with it.
#ifndef PACKAGE_RULES_H
#define PACKAGE_RULES_H

#include <SupportDefs.h>

#include <cstdint>
#include <string>
#include <vector>

namespace package_rules {

// Item sizes and the total of a selection are int32 byte counts in the configuration.
constexpr int64 kMaxItemSize = INT32_MAX;
constexpr int64 kMaxSelectedTotal = INT32_MAX;
// Resource offsets are 32-bit: an installer beyond this cannot be read back.
constexpr int64 kMaxInstallerSize = UINT32_MAX;

// opt_created_folder: one folder name, made inside the folder the user picks.
std::string CreatedFolderProblem(const std::string& name);

// custom_sub_dir: a relative path that leads below its standard folder. An empty path, or
// one of "." alone, would name the standard folder itself, which a replacing custom folder
// moves away; ".." could climb out of it.
std::string SubDirProblem(const std::string& subDir);

// One script tag: one line, and apart from the start-up section's tag that the installer
// keeps in the boot script.
std::string ScriptTagProblem(const std::string& tag);

// Two tags of one package: neither may equal or contain the other.
std::string ScriptTagsProblem(const std::string& first, const std::string& second);

// A section's contents must not hold a whole marker line of any of tags (or of the
// start-up section): such a line would end or open a section early when it is cut out.
std::string ScriptContentsProblem(
	const std::string& contents, const std::vector<std::string>& tags);

// The disk space requirement, in bytes, as the installer reads it.
std::string DiskAmountProblem(double bytes);

// The size texts for messages: "2147483648 bytes".
std::string ByteCount(int64 bytes);

} // namespace package_rules

#endif // PACKAGE_RULES_H
