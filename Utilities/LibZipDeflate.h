// Compression of an archive's files on several threads, ahead of the archive's writing.
// The packer queues each file as its walk finds it; workers read and deflate the files in
// that order, as far ahead as a memory window allows, and the writer takes the results in
// the same order. Whatever the number of threads, a file gives the same bytes, so an
// archive does not depend on how many threads packed it. Not part of the library's
// interface.
#ifndef LIB_ZIP_DEFLATE_H
#define LIB_ZIP_DEFLATE_H

#include <SupportDefs.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace lib_zip {

// Files up to this size are read and compressed whole, in memory; larger ones are left to
// libzip, which streams them.
const uint64 kWholeFileLimit = 16 * 1024 * 1024;

// A file's raw deflate stream with the checksum and size of its data.
struct DeflateResult {
	std::vector<uint8> data;
	uint32 crc = 0;
	uint64 size = 0;
};

class DeflatePool {
public:
	// threads: how many files are compressed at once; 0 means one per processor, 1 means
	// on the writer's own thread only. level is ZIP's 1 to 9.
	DeflatePool(int threads, int level);
	// Waits for the workers; work still queued is dropped.
	~DeflatePool();

	DeflatePool(const DeflatePool&) = delete;
	DeflatePool& operator=(const DeflatePool&) = delete;

	// Queues the regular file at path, which must still be the node the walk saw
	// (identity: device, inode and size) when it is read. Returns the job's number.
	int32 Add(const std::string& path, const struct stat& identity);

	// Waits until the job is done, compressing it on the calling thread when no worker
	// has taken it yet. False with a libzip error code (and errno, or 0) when the file
	// could not be read as the walk saw it, or when the calling thread was killed meanwhile.
	bool Wait(int32 job, const DeflateResult** result, int* zipError, int* systemError);

	// The job's data is no longer needed; its checksum and sizes stay. A job not started yet
	// is dropped.
	void Release(int32 job);

private:
	enum job_state { kPending, kRunning, kDone, kFailed };

	struct Job {
		std::string path;
		struct stat identity;
		job_state state = kPending;
		bool released = false;
		DeflateResult result;
		int zipError = 0;
		int systemError = 0;
	};

	void _Work();
	// Reads and compresses the job's file, without the lock held.
	void _Compress(Job& job, std::vector<uint8>& scratch, void* compressor);
	void* _NewCompressor() const;

	int fLevel;
	std::mutex fLock;
	std::condition_variable fWorkChanged;
	std::condition_variable fJobDone;
	// Jobs never move once queued (a deque keeps references).
	std::deque<Job> fJobs;
	size_t fNext;
	// Bytes of files taken by a worker and not released yet.
	uint64 fInFlight;
	bool fStopping;
	std::vector<std::thread> fWorkers;
};

} // namespace lib_zip

#endif // LIB_ZIP_DEFLATE_H
