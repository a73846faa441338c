// The packer behind LibZip; not part of the library's interface (PackageBuilder uses it for
// the options LibZip does not take). LibZip is Open, Add and Close; the steps are apart so
// that tests can change the disk between the walk and the writing of the archive, as
// another process could.
#ifndef LIB_ZIP_PRIVATE_H
#define LIB_ZIP_PRIVATE_H

#include <SupportDefs.h>

#include <memory>
#include <string>
#include <time.h>

typedef struct zip zip_t;

namespace lib_zip {

class DeflatePool;

class ZipPacker {
public:
	ZipPacker();
	// Discards an archive that was opened and not closed.
	~ZipPacker();

	ZipPacker(const ZipPacker&) = delete;
	ZipPacker& operator=(const ZipPacker&) = delete;

	// Opens (or creates) the archive at archivePath, an absolute path; level 0 stores,
	// 1 to 9 deflate. False with a line on standard error when it cannot be opened.
	bool Open(const std::string& archivePath, int level);

	// How many files are compressed at once: 0 (the default) one per processor. The
	// archive's bytes do not depend on it.
	void SetJobs(int jobs);
	// Makes the archive depend only on the entries' contents, names, modes, attributes
	// and modification times, the times clamped to latest; access times are left out.
	void SetReproducible(time_t latest);

	// Walks the entry at itemPath (absolute, its folder resolved) and adds it as one
	// top-level entry named after its leaf, a folder with everything below it. The walk
	// goes from folder descriptor to folder descriptor without following links, and what
	// it saw is what gets packed: a file's data is read when the archive is written, from
	// the file the walk found, and a file that was replaced or swapped for a link
	// meanwhile spoils the archive instead of bringing something else in.
	void Add(const std::string& itemPath);

	// Writes the archive. True when it was written and every entry added was packed.
	bool Close();

private:
	void _Fail(const std::string& path, const char* what);
	void _Add(
		int parent, const std::string& name, const std::string& path, const std::string& entryName);
	bool _Describe(int64 index, const std::string& path, const struct stat& st, bool deflated);
	time_t _Clamped(time_t time) const;

	zip_t* fArchive;
	int fLevel;
	std::string fArchivePath;
	bool fOk;
	int fJobs;
	bool fReproducible;
	time_t fLatestTime;
	std::unique_ptr<DeflatePool> fPool;
};

} // namespace lib_zip

#endif // LIB_ZIP_PRIVATE_H
