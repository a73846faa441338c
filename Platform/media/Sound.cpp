// BSound: raw samples in memory with their format. A sound file is read whole; the RIFF
// WAVE reader below takes the PCM and IEEE float forms, the ones sound files carry.
#include <Sound.h>

#include <EntryRef.h>
#include <File.h>
#include <Path.h>

#include <cstdlib>
#include <cstring>
#include <limits>

const media_raw_audio_format media_raw_audio_format::wildcard = { 0, 0, 0, 0, 0 };

bool
operator==(const media_raw_audio_format& a, const media_raw_audio_format& b)
{
	return a.frame_rate == b.frame_rate && a.channel_count == b.channel_count
		&& a.format == b.format && a.byte_order == b.byte_order && a.buffer_size == b.buffer_size;
}

namespace {

uint32
read_le32(const uint8* bytes)
{
	return uint32(bytes[0]) | uint32(bytes[1]) << 8 | uint32(bytes[2]) << 16
		| uint32(bytes[3]) << 24;
}

uint16
read_le16(const uint8* bytes)
{
	return uint16(bytes[0] | bytes[1] << 8);
}

bool
valid_format(const media_raw_audio_format& format)
{
	switch (format.format) {
		case media_raw_audio_format::B_AUDIO_FLOAT:
		case media_raw_audio_format::B_AUDIO_DOUBLE:
		case media_raw_audio_format::B_AUDIO_INT:
		case media_raw_audio_format::B_AUDIO_SHORT:
		case media_raw_audio_format::B_AUDIO_UCHAR:
		case media_raw_audio_format::B_AUDIO_CHAR:
			break;
		default:
			return false;
	}
	return format.channel_count > 0 && format.channel_count <= 32 && format.frame_rate > 0
		&& format.frame_rate <= 1000000
		&& (format.byte_order == B_MEDIA_BIG_ENDIAN || format.byte_order == B_MEDIA_LITTLE_ENDIAN);
}

// Finds the "fmt " and "data" chunks of a RIFF WAVE image. The data stays where it is;
// dataOffset and dataSize locate it.
status_t
parse_wave(const uint8* bytes, size_t size, media_raw_audio_format& format, size_t& dataOffset,
	size_t& dataSize)
{
	if (size < 12 || memcmp(bytes, "RIFF", 4) != 0 || memcmp(bytes + 8, "WAVE", 4) != 0)
		return B_MEDIA_BAD_FORMAT;
	bool haveFormat = false;
	size_t position = 12;
	while (position + 8 <= size) {
		const uint8* chunk = bytes + position;
		const size_t chunkSize = read_le32(chunk + 4);
		const size_t body = position + 8;
		if (chunkSize > size - body) {
			// A truncated data chunk keeps what is there; any other short chunk is damage.
			if (memcmp(chunk, "data", 4) != 0)
				return B_MEDIA_BAD_FORMAT;
		}
		const size_t available = chunkSize > size - body ? size - body : chunkSize;
		if (memcmp(chunk, "fmt ", 4) == 0) {
			if (available < 16)
				return B_MEDIA_BAD_FORMAT;
			const uint16 tag = read_le16(bytes + body);
			const uint16 channels = read_le16(bytes + body + 2);
			const uint32 rate = read_le32(bytes + body + 4);
			const uint16 bits = read_le16(bytes + body + 14);
			format = media_raw_audio_format::wildcard;
			format.frame_rate = float(rate);
			format.channel_count = channels;
			format.byte_order = B_MEDIA_LITTLE_ENDIAN;
			if (tag == 1 && bits == 8)
				format.format = media_raw_audio_format::B_AUDIO_UCHAR;
			else if (tag == 1 && bits == 16)
				format.format = media_raw_audio_format::B_AUDIO_SHORT;
			else if (tag == 1 && bits == 32)
				format.format = media_raw_audio_format::B_AUDIO_INT;
			else if (tag == 3 && bits == 32)
				format.format = media_raw_audio_format::B_AUDIO_FLOAT;
			else if (tag == 3 && bits == 64)
				format.format = media_raw_audio_format::B_AUDIO_DOUBLE;
			else
				return B_MEDIA_BAD_FORMAT;
			format.buffer_size = 4096;
			haveFormat = true;
		} else if (memcmp(chunk, "data", 4) == 0) {
			if (!haveFormat)
				return B_MEDIA_BAD_FORMAT;
			dataOffset = body;
			dataSize = available;
			return valid_format(format) ? status_t(B_OK) : status_t(B_MEDIA_BAD_FORMAT);
		}
		position = body + available + (available & 1);
	}
	return B_MEDIA_BAD_FORMAT;
}

} // namespace

BSound::BSound(void* data, size_t size, const media_raw_audio_format& format, bool freeWhenDone) :
	fData(data),
	fSize(size),
	fFormat(format),
	fFreeWhenDone(freeWhenDone),
	fStatus(B_OK),
	fRefCount(1)
{
	if (data == NULL && size > 0)
		fStatus = B_BAD_VALUE;
	else if (!valid_format(format))
		fStatus = B_MEDIA_BAD_FORMAT;
}

BSound::BSound(const entry_ref* soundFile, bool /*loadIntoMemory*/) :
	fData(NULL),
	fSize(0),
	fFormat(media_raw_audio_format::wildcard),
	fFreeWhenDone(true),
	fStatus(B_NO_INIT),
	fRefCount(1)
{
	if (soundFile == NULL) {
		fStatus = B_BAD_VALUE;
		return;
	}
	BFile file(soundFile, B_READ_ONLY);
	fStatus = file.InitCheck();
	if (fStatus != B_OK)
		return;
	off_t fileSize = 0;
	fStatus = file.GetSize(&fileSize);
	if (fStatus != B_OK)
		return;
	if (fileSize <= 0 || uint64(fileSize) > uint64(std::numeric_limits<int32>::max())) {
		fStatus = B_MEDIA_BAD_FORMAT;
		return;
	}
	uint8* bytes = static_cast<uint8*>(malloc(size_t(fileSize)));
	if (bytes == NULL) {
		fStatus = B_NO_MEMORY;
		return;
	}
	const ssize_t read = file.ReadAt(0, bytes, size_t(fileSize));
	if (read != ssize_t(fileSize)) {
		free(bytes);
		fStatus = read < 0 ? status_t(read) : B_IO_ERROR;
		return;
	}
	size_t dataOffset = 0;
	size_t dataSize = 0;
	fStatus = parse_wave(bytes, size_t(fileSize), fFormat, dataOffset, dataSize);
	if (fStatus != B_OK) {
		free(bytes);
		return;
	}
	memmove(bytes, bytes + dataOffset, dataSize);
	fData = bytes;
	fSize = dataSize;
}

BSound::~BSound()
{
	if (fFreeWhenDone)
		free(fData);
}

status_t
BSound::InitCheck()
{
	return fStatus;
}

const void*
BSound::Data() const
{
	return fData;
}

size_t
BSound::Size() const
{
	return fSize;
}

const media_raw_audio_format&
BSound::Format() const
{
	return fFormat;
}

bigtime_t
BSound::Duration() const
{
	const size_t frameBytes =
		(fFormat.format & media_raw_audio_format::B_AUDIO_SIZE_MASK) * fFormat.channel_count;
	if (fStatus != B_OK || frameBytes == 0 || fFormat.frame_rate <= 0)
		return 0;
	const double frames = double(fSize / frameBytes);
	return bigtime_t(frames * 1000000.0 / double(fFormat.frame_rate));
}

BSound*
BSound::AcquireRef()
{
	fRefCount.fetch_add(1);
	return this;
}

bool
BSound::ReleaseRef()
{
	if (fRefCount.fetch_sub(1) != 1)
		return false;
	delete this;
	return true;
}

int32
BSound::RefCount() const
{
	return fRefCount.load();
}
