// LibRefFilter on real entries, with the types the panel passes: the folder panels' types,
// then every file as well; types compare exactly.
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

TEST(LibRefFilterTest, FolderPanelsAdmitFoldersAndVolumesAndFilesOnlyWhenAllowed)
{
	ScopedTempDir folder;
	std::filesystem::create_directory(folder.Path() / "Docs");
	std::ofstream(folder.Child("readme")) << "text";
	std::filesystem::create_symlink("readme", folder.Path() / "link");
	mkfifo(folder.Child("pipe").c_str(), 0600);

	struct Row {
		std::string path;
		const char* type;
		bool none;
		bool folders;
		bool allFiles;
	};

	const Row rows[] = {
		{ folder.Child("Docs"), B_DIRECTORY_MIME_TYPE, false, true, true },
		{ "/", B_VOLUME_MIME_TYPE, false, true, true },
		{ folder.Child("Docs"), "application/x-vnd.be-directory", false, false, false },
		{ folder.Child("readme"), "text/plain", false, false, true },
		{ folder.Child("link"), "text/plain", false, false, true },
		{ folder.Child("pipe"), "application/octet-stream", false, false, false },
	};
	LibRefFilter filter;
	for (int32 step = 0; step < 3; step++) {
		if (step == 1) {
			filter.AddType(B_DIRECTORY_MIME_TYPE);
			filter.AddType(B_VOLUME_MIME_TYPE);
		} else if (step == 2)
			filter.AllowAllFiles(true);
		for (const Row& row : rows) {
			// As the panel asks: the entry's node with links followed, its stat and type.
			BEntry entry(row.path.c_str(), true);
			entry_ref ref;
			entry.GetRef(&ref);
			BNode node(&entry);
			struct stat st;
			ASSERT_EQ(0, stat(row.path.c_str(), &st));
			const bool expected = step == 0 ? row.none : step == 1 ? row.folders : row.allFiles;
			EXPECT_EQ(expected, filter.Filter(&ref, &node, &st, row.type)) << step << row.path;
		}
	}
}
