// LibRefFilter: which entries a file panel lists, for the types the programs' folder panels
// admit and with all files allowed, on real entries with the types the panel passes.
#include "LibRefFilter.h"

#include <Entry.h>
#include <MimeType.h>
#include <Node.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// What the panel does for one entry: its node (links followed), stat and type.
bool
filter_entry(LibRefFilter& filter, const std::string& path, const char* mimeType)
{
	BEntry entry(path.c_str(), true);
	entry_ref ref;
	entry.GetRef(&ref);
	BNode node(&entry);
	struct stat st;
	if (stat(path.c_str(), &st) != 0)
		return false;
	return filter.Filter(&ref, &node, &st, mimeType);
}

} // namespace

TEST(LibRefFilterTest, FolderPanelsAdmitFoldersAndVolumesAndFilesOnlyWhenAllowed)
{
	ScopedTempDir folder;
	fs::create_directory(folder.Path() / "Docs");
	std::ofstream(folder.Child("readme")) << "text";
	fs::create_symlink("readme", folder.Path() / "link");
	mkfifo(folder.Child("pipe").c_str(), 0600);

	struct Row {
		std::string path;
		const char* type;
		bool foldersOnly;
		bool allFiles;
	};

	const Row rows[] = {
		{ folder.Child("Docs"), B_DIRECTORY_MIME_TYPE, true, true },
		{ "/", B_VOLUME_MIME_TYPE, true, true },
		{ folder.Child("readme"), "text/plain", false, true },
		{ folder.Child("link"), "text/plain", false, true },
		{ folder.Child("pipe"), "application/octet-stream", false, false },
		// Types compare exactly.
		{ folder.Child("Docs"), "application/x-vnd.be-directory", false, false },
	};

	LibRefFilter filter;
	for (const Row& row : rows)
		EXPECT_FALSE(filter_entry(filter, row.path, row.type)) << "empty filter: " << row.path;

	filter.AddType(B_DIRECTORY_MIME_TYPE);
	filter.AddType(B_VOLUME_MIME_TYPE);
	for (const Row& row : rows)
		EXPECT_EQ(row.foldersOnly, filter_entry(filter, row.path, row.type)) << row.path;

	filter.AllowAllFiles(true);
	for (const Row& row : rows)
		EXPECT_EQ(row.allFiles, filter_entry(filter, row.path, row.type)) << row.path;

	// Without a stat the node tells whether the entry is a file.
	BNode file(folder.Child("readme").c_str());
	EXPECT_TRUE(filter.Filter(NULL, &file, NULL, "text/plain"));
	BNode docs(folder.Child("Docs").c_str());
	EXPECT_FALSE(filter.Filter(NULL, &docs, NULL, "text/plain"));
}
