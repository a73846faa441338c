#include "LibZipDeflate.h"

#include <ThreadPrivate.h>

#include <algorithm>
#include <chrono>
#include <errno.h>
#include <fcntl.h>
#include <libdeflate.h>
#include <unistd.h>
#include <zip.h>

namespace lib_zip {

namespace {

// How many bytes of files the workers may hold ahead of the writer: read, compressed and
// not yet written. It bounds the memory of a pack whatever the payload.
const uint64 kWindowBytes = 64 * 1024 * 1024;

// libdeflate's level 7 compresses about as well as zlib's (and Info-ZIP's) level 9: within
// 0.1% either way on programs and source text, up to 4.5% larger on text of very few
// distinct words, at two to eight times the speed. Its levels 8 and 9 gain under 1% for
// two to three times the time. ZIP's levels 7 to 9 get level 7.
const int kStrongestLevel = 7;

// How often a writer waiting for a worker looks whether it was killed.
const std::chrono::milliseconds kKillPoll(50);

} // namespace

DeflatePool::DeflatePool(int threads, int level) :
	fLevel(std::clamp(level, 1, kStrongestLevel)),
	fNext(0),
	fInFlight(0),
	fStopping(false)
{
	if (threads <= 0)
		threads = (int)std::max(1u, std::thread::hardware_concurrency());
	// With one thread the writer compresses each file itself when it needs it.
	if (threads == 1)
		return;
	for (int i = 0; i < threads; i++)
		fWorkers.emplace_back([this] { _Work(); });
}

DeflatePool::~DeflatePool()
{
	{
		std::lock_guard<std::mutex> locker(fLock);
		fStopping = true;
	}
	fWorkChanged.notify_all();
	for (std::thread& worker : fWorkers)
		worker.join();
}

int32
DeflatePool::Add(const std::string& path, const struct stat& identity)
{
	int32 index;
	{
		std::lock_guard<std::mutex> locker(fLock);
		Job& job = fJobs.emplace_back();
		job.path = path;
		job.identity = identity;
		index = (int32)(fJobs.size() - 1);
	}
	fWorkChanged.notify_one();
	return index;
}

void*
DeflatePool::_NewCompressor() const
{
	return libdeflate_alloc_compressor(fLevel);
}

void
DeflatePool::_Work()
{
	std::vector<uint8> scratch;
	libdeflate_compressor* compressor = nullptr;
	std::unique_lock<std::mutex> locker(fLock);
	while (!fStopping) {
		// Nothing held is always room: a file larger than the window still gets done.
		bool hasRoom = fNext < fJobs.size()
			&& (fInFlight == 0
				|| fInFlight + (uint64)fJobs[fNext].identity.st_size <= kWindowBytes);
		if (!hasRoom) {
			fWorkChanged.wait(locker);
			continue;
		}
		Job& job = fJobs[fNext++];
		// The writer took it itself.
		if (job.state != kPending)
			continue;
		job.state = kRunning;
		fInFlight += (uint64)job.identity.st_size;
		locker.unlock();
		if (compressor == nullptr)
			compressor = static_cast<libdeflate_compressor*>(_NewCompressor());
		_Compress(job, scratch, compressor);
		locker.lock();
		fJobDone.notify_all();
	}
	locker.unlock();
	if (compressor != nullptr)
		libdeflate_free_compressor(compressor);
}

void
DeflatePool::_Compress(Job& job, std::vector<uint8>& scratch, void* compressorPointer)
{
	libdeflate_compressor* compressor = static_cast<libdeflate_compressor*>(compressorPointer);
	int zipError = ZIP_ER_OK;
	int systemError = 0;
	DeflateResult result;
	int fd = open(job.path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
	struct stat st;
	// The file read must be the one the walk found, with the size it had then.
	if (fd < 0) {
		zipError = ZIP_ER_OPEN;
		systemError = errno;
	} else if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != job.identity.st_dev
		|| st.st_ino != job.identity.st_ino || st.st_size != job.identity.st_size) {
		zipError = ZIP_ER_CHANGED;
	}

	std::vector<uint8> input;
	if (zipError == ZIP_ER_OK && compressor == nullptr)
		zipError = ZIP_ER_MEMORY;
	if (zipError == ZIP_ER_OK) {
		size_t size = (size_t)job.identity.st_size;
		// One byte more than expected tells a file that grew.
		input.resize(size + 1);
		size_t done = 0;
		while (done < input.size()) {
			ssize_t got = read(fd, input.data() + done, input.size() - done);
			if (got < 0 && errno == EINTR)
				continue;
			if (got < 0) {
				zipError = ZIP_ER_READ;
				systemError = errno;
				break;
			}
			if (got == 0)
				break;
			done += (size_t)got;
		}
		if (zipError == ZIP_ER_OK && done != size)
			zipError = ZIP_ER_CHANGED;
		input.resize(size);
	}
	if (fd >= 0)
		close(fd);

	if (zipError == ZIP_ER_OK) {
		scratch.resize(libdeflate_deflate_compress_bound(compressor, input.size()));
		size_t length = libdeflate_deflate_compress(
			compressor, input.data(), input.size(), scratch.data(), scratch.size());
		if (length == 0 && !input.empty())
			zipError = ZIP_ER_INTERNAL;
		else {
			// An exact copy: results wait in memory until they are written.
			result.data.assign(scratch.begin(), scratch.begin() + (long)length);
			result.crc = (uint32)libdeflate_crc32(0, input.data(), input.size());
			result.size = input.size();
		}
	}
	// Scratch space of a large file is not kept for the next ones.
	if (scratch.size() > 4 * 1024 * 1024)
		std::vector<uint8>().swap(scratch);

	std::lock_guard<std::mutex> locker(fLock);
	if (job.released) {
		// Given back while it ran: nobody will take the result.
		fInFlight -= (uint64)job.identity.st_size;
		job.state = kFailed;
		return;
	}
	job.result = std::move(result);
	job.zipError = zipError;
	job.systemError = systemError;
	job.state = zipError == ZIP_ER_OK ? kDone : kFailed;
}

bool
DeflatePool::Wait(int32 index, const DeflateResult** result, int* zipError, int* systemError)
{
	std::unique_lock<std::mutex> locker(fLock);
	if (index < 0 || (size_t)index >= fJobs.size()) {
		*zipError = ZIP_ER_INVAL;
		*systemError = 0;
		return false;
	}
	Job& job = fJobs[(size_t)index];
	if (job.state == kPending) {
		job.state = kRunning;
		fInFlight += (uint64)job.identity.st_size;
		locker.unlock();
		std::vector<uint8> scratch;
		libdeflate_compressor* compressor = static_cast<libdeflate_compressor*>(_NewCompressor());
		_Compress(job, scratch, compressor);
		if (compressor != nullptr)
			libdeflate_free_compressor(compressor);
		locker.lock();
	}
	while (job.state == kRunning) {
		// A killed writer gives up here; the worker finishes the file on its own.
		if (BPrivate::thread_is_killed()) {
			*zipError = ZIP_ER_CANCELLED;
			*systemError = 0;
			return false;
		}
		fJobDone.wait_for(locker, kKillPoll);
	}
	*zipError = job.released ? ZIP_ER_INTERNAL : job.zipError;
	*systemError = job.systemError;
	*result = &job.result;
	return job.state == kDone && !job.released;
}

void
DeflatePool::Release(int32 index)
{
	{
		std::lock_guard<std::mutex> locker(fLock);
		if (index < 0 || (size_t)index >= fJobs.size())
			return;
		Job& job = fJobs[(size_t)index];
		if (job.released)
			return;
		job.released = true;
		// A file nobody needs any more (its entry was dropped) is not compressed at all;
		// one being compressed gives its memory back when it is done.
		if (job.state == kPending) {
			job.state = kFailed;
			return;
		}
		if (job.state == kRunning)
			return;
		std::vector<uint8>().swap(job.result.data);
		fInFlight -= (uint64)job.identity.st_size;
	}
	fWorkChanged.notify_all();
}

} // namespace lib_zip
