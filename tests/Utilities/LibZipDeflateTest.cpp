// The deflate pool on its own: waits in any order, files that cannot be read as the walk
// saw them, and results given back.
#include "LibZipDeflate.h"

#include "FileTestHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <zip.h>

using namespace file_test;

TEST(LibZipDeflate, WaitsInAnyOrderAndTellsFilesThatChanged)
{
	ScopedTempDir temp;

	struct Row {
		std::string path;
		struct stat identity;
	};

	std::vector<Row> rows;
	for (int i = 0; i < 24; i++) {
		std::string path = temp.Child("file " + std::to_string(i));
		std::string text;
		for (int line = 0; line < 500 * (i % 4 + 1); line++)
			text += "line " + std::to_string(line % (i + 2)) + "\n";
		write_file(path, i % 3 == 0 ? bytes(text.size(), i) : text);
		Row row { path, {} };
		ASSERT_EQ(lstat(path.c_str(), &row.identity), 0);
		rows.push_back(row);
	}
	// Gone, shrunk and swapped for another file after the walk saw them.
	unlink(rows[5].path.c_str());
	write_file(rows[6].path, "short");
	write_file(temp.Child("other"), std::string(rows[7].identity.st_size, 'x'));
	rename(temp.Child("other").c_str(), rows[7].path.c_str());

	for (int threads : { 1, 3 }) {
		lib_zip::DeflatePool pool(threads, 9);
		std::vector<int32> jobs;
		for (const Row& row : rows)
			jobs.push_back(pool.Add(row.path, row.identity));
		// The last first: a job no worker took yet is done on the waiting thread.
		for (size_t n = 0; n < jobs.size(); n++) {
			size_t i = n == 0 ? jobs.size() - 1 : n - 1;
			const lib_zip::DeflateResult* result = nullptr;
			int zipError = 0;
			int systemError = 0;
			bool done = pool.Wait(jobs[i], &result, &zipError, &systemError);
			if (i == 5) {
				EXPECT_FALSE(done);
				EXPECT_EQ(zipError, ZIP_ER_OPEN);
				EXPECT_EQ(systemError, ENOENT);
			} else if (i == 6 || i == 7) {
				EXPECT_FALSE(done) << i;
				EXPECT_EQ(zipError, ZIP_ER_CHANGED) << i;
			} else {
				ASSERT_TRUE(done) << i << " with " << threads;
				EXPECT_EQ(result->size, (uint64)rows[i].identity.st_size);
				EXPECT_FALSE(result->data.empty());
				// Text shrinks; random bytes grow by the deflate blocks' headers only.
				if (i % 3 != 0)
					EXPECT_LT(result->data.size(), result->size / 4) << i;
				else
					EXPECT_LT(result->data.size(), result->size + 64) << i;
			}
			pool.Release(jobs[i]);
		}
		const lib_zip::DeflateResult* result = nullptr;
		int zipError = 0;
		int systemError = 0;
		EXPECT_FALSE(pool.Wait(jobs[1], &result, &zipError, &systemError));
		EXPECT_FALSE(pool.Wait(999, &result, &zipError, &systemError));
		// A job given back before anyone took it is never done.
		int32 dropped = pool.Add(rows[0].path, rows[0].identity);
		pool.Release(dropped);
		EXPECT_FALSE(pool.Wait(dropped, &result, &zipError, &systemError));
	}
}
