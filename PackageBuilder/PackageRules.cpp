#include "PackageRules.h"

#include "PackageDefs.h"

#include <StorageDefs.h>

#include <cmath>

namespace package_rules {

namespace {

bool
is_blank(char c)
{
	return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The lines of text without their line feeds and a carriage return before one.
std::vector<std::string>
lines_of(const std::string& text)
{
	std::vector<std::string> lines;
	size_t start = 0;
	while (start <= text.size()) {
		size_t end = text.find('\n', start);
		if (end == std::string::npos)
			end = text.size();
		std::string line = text.substr(start, end - start);
		if (!line.empty() && line.back() == '\r')
			line.pop_back();
		lines.push_back(line);
		start = end + 1;
	}
	return lines;
}

} // namespace

std::string
CreatedFolderProblem(const std::string& name)
{
	if (name.empty())
		return "the created folder needs a name";
	if (name.find('/') != std::string::npos)
		return "the created folder is one folder name, without '/'";
	if (name == "." || name == "..")
		return "the created folder cannot be '" + name + "': it names no new folder";
	if (is_blank(name.front()) || is_blank(name.back()))
		return "the created folder's name begins or ends with a blank";
	if (name.size() >= B_FILE_NAME_LENGTH)
		return "the created folder's name is longer than 255 bytes";
	return std::string();
}

std::string
SubDirProblem(const std::string& subDir)
{
	if (subDir.empty())
		return "the sub folder is empty: the custom folder would be its standard folder itself";
	if (subDir[0] == '/')
		return "the sub folder must be a relative path, not '" + subDir + "'";
	bool named = false;
	size_t start = 0;
	while (start <= subDir.size()) {
		size_t end = subDir.find('/', start);
		if (end == std::string::npos)
			end = subDir.size();
		std::string part = subDir.substr(start, end - start);
		if (part == "..")
			return "the sub folder must not climb with '..'";
		if (part.size() >= B_FILE_NAME_LENGTH)
			return "a name in the sub folder is longer than 255 bytes";
		if (!part.empty() && part != ".")
			named = true;
		start = end + 1;
	}
	if (!named)
		return "the sub folder '" + subDir
			+ "' names no folder: the custom folder would be its standard folder itself";
	return std::string();
}

std::string
ScriptTagProblem(const std::string& tag)
{
	if (tag.find('\n') != std::string::npos || tag.find('\r') != std::string::npos)
		return "a script tag must be one line";
	std::string startUp = Package::kStartUpFolderTag;
	if (!tag.empty() && startUp.find(tag) != std::string::npos)
		return "the tag '" + tag + "' is (part of) the start-up section's tag '" + startUp + "'";
	if (tag.find(startUp) != std::string::npos)
		return "the tag '" + tag + "' contains the start-up section's tag '" + startUp + "'";
	return std::string();
}

std::string
ScriptTagsProblem(const std::string& first, const std::string& second)
{
	if (first.empty() || second.empty())
		return std::string();
	if (first == second)
		return "the tag '" + first + "' is used twice";
	if (first.find(second) != std::string::npos)
		return "the tag '" + first + "' contains the tag '" + second + "'";
	if (second.find(first) != std::string::npos)
		return "the tag '" + second + "' contains the tag '" + first + "'";
	return std::string();
}

std::string
ScriptContentsProblem(const std::string& contents, const std::vector<std::string>& tags)
{
	std::vector<std::string> all = tags;
	all.push_back(Package::kStartUpFolderTag);
	std::vector<std::string> lines = lines_of(contents);
	for (size_t index = 0; index < lines.size(); index++) {
		for (const std::string& tag : all) {
			if (tag.empty())
				continue;
			if (lines[index] == "#BEGIN_" + tag || lines[index] == "#END_" + tag)
				return "line " + std::to_string(index + 1) + " of the contents is the marker line '"
					+ lines[index] + "', which would cut the section short";
		}
	}
	return std::string();
}

std::string
DiskAmountProblem(double bytes)
{
	if (!std::isfinite(bytes))
		return "the disk space amount is not a finite number";
	// The installer reads the amount in bytes as a signed 32-bit count.
	if (bytes < 0 || bytes > static_cast<double>(INT32_MAX))
		return "the disk space amount must lie between 0 and 2097151 KB (2 GB)";
	return std::string();
}

std::string
ByteCount(int64 bytes)
{
	return std::to_string(bytes) + " bytes";
}

} // namespace package_rules
