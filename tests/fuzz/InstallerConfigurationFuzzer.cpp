// Feeds arbitrary bytes to PackageBuilder's list, show, show --manifest and check as the
// configuration of an installer (CSTR 2002 "BRC:configuration"). The installer around it is
// sound: two payloads named "sample-tool" and "Sample Docs" and a deinstaller, so that the
// fields that name them lead somewhere. Whatever the configuration, the commands end, a
// passing check reports no error, and the sanitizers see nothing.
#include "ExamineInstaller.h"
#include "PayloadArchive.h"
#include "ResourceFile.h"

#include "LibPrivateFolder.h"

#include <Path.h>
#include <TypeConstants.h>

#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace BPrivate;

namespace {

std::string gWork;
std::vector<ResourceRecord> gPackage;

void
write_file(const std::string& path, const std::string& text, mode_t mode)
{
	int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
	if (fd < 0 || write(fd, text.data(), text.size()) != (ssize_t)text.size() || close(fd) != 0)
		abort();
}

void
add_archive(int32 id, const std::string& item, const char* name)
{
	std::string archive = gWork + "/archive.zip";
	if (!PackEntry(item, archive, PackSettings()))
		abort();
	std::ifstream stream(archive, std::ios::binary);
	ResourceRecord record;
	record.type = B_RAW_TYPE;
	record.id = id;
	record.name = name;
	record.data.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
	record.size = record.data.size();
	record.loaded = true;
	gPackage.push_back(record);
	unlink(archive.c_str());
}

} // namespace

extern "C" int
LLVMFuzzerInitialize(int*, char***)
{
	BPath folder;
	if (!LibMakePrivateFolder(folder, "InstallerConfigurationFuzzer"))
		abort();
	gWork = folder.Path();
	atexit([] { LibUnlink(gWork.c_str()); });

	std::string items = gWork + "/items";
	if (mkdir(items.c_str(), 0700) != 0 || mkdir((items + "/Sample Docs").c_str(), 0700) != 0)
		abort();
	write_file(items + "/sample-tool", "#!/bin/sh\necho sample\n", 0755);
	write_file(items + "/Sample Docs/Guide.txt", "How to use the sample.\n", 0644);
	if (symlink("Guide.txt", (items + "/Sample Docs/latest").c_str()) != 0)
		abort();
	// The smallest program that can take the configuration the installer adds: a plain
	// resource file.
	std::vector<uint8> empty;
	if (build_resource_section({}, &empty) != B_OK)
		abort();
	write_file(items + "/Tarnwick",
		std::string("RS", 2) + std::string(2, '\0') + std::string(empty.begin(), empty.end()),
		0755);
	// Packing moves the process into the item's folder; libFuzzer keeps its corpus by
	// relative paths.
	int startFolder = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (startFolder < 0)
		abort();
	add_archive(2100, items + "/sample-tool", "sample-tool");
	add_archive(2101, items + "/Sample Docs", "Sample Docs");
	add_archive(2001, items + "/Tarnwick", "Tarnwick");
	if (fchdir(startFolder) != 0)
		abort();
	close(startFolder);
	return 0;
}

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	std::vector<ResourceRecord> records = gPackage;
	ResourceRecord configuration;
	configuration.type = B_STRING_TYPE;
	configuration.id = 2002;
	configuration.name = "BRC:configuration";
	configuration.data.assign(data, data + size);
	configuration.size = size;
	configuration.loaded = true;
	records.push_back(configuration);

	std::vector<uint8> section;
	if (build_resource_section(records, &section) != B_OK)
		abort();
	std::string file = "RS";
	file.append(2, '\0');
	file.append(section.begin(), section.end());
	std::string installer = gWork + "/installer";
	write_file(installer, file, 0755);
	fuzz::examine_installer(installer, gWork);
	return 0;
}
