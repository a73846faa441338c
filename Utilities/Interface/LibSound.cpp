#include "LibSound.h"

#include <Message.h>
#include <Sound.h>
#include <TypeConstants.h>

#include <cstdlib>
#include <cstring>

namespace {

// The archive's fields.
const char* const kDataField = "data";
const char* const kFrameRateField = "frame_rate";
const char* const kChannelCountField = "channel_count";
const char* const kFormatField = "format";
const char* const kByteOrderField = "byte_order";
const char* const kBufferSizeField = "buffer_size";

media_raw_audio_format
empty_format()
{
	media_raw_audio_format format;
	memset(&format, 0, sizeof(format));
	return format;
}

} // namespace

LibSound::LibSound(const char* path, const char* name) :
	fPlayId(0),
	fSound(NULL),
	fReady(false),
	fFormat(empty_format()),
	fAllowMultiple(false)
{
	if (path == NULL)
		return;
	fPath.SetTo(path);
	fEntry.SetTo(path, true);
	if (fEntry.InitCheck() != B_OK || !fEntry.Exists())
		return;
	fEntry.GetRef(&fRef);
	if (LoadSound(path))
		_MakePlayer(name);
}

LibSound::LibSound(const BMessage& archive, const char* name) :
	fPlayId(0),
	fSound(NULL),
	fReady(false),
	fFormat(empty_format()),
	fAllowMultiple(false)
{
	if (LoadSound(archive))
		_MakePlayer(name);
}

LibSound::~LibSound()
{
	_ReleaseSound();
	if (fPlayer) {
		fPlayer->Stop(true, true);
		fPlayer.reset();
	}
}

bool
LibSound::LoadSound(const char* path)
{
	if (path == NULL)
		return false;
	BEntry entry(path, true);
	entry_ref ref;
	if (entry.GetRef(&ref) != B_OK)
		return false;
	_ReleaseSound();
	fSound = new BSound(&ref, true);
	if (fSound->InitCheck() != B_OK) {
		_ReleaseSound();
		return false;
	}
	fFormat = fSound->Format();
	return true;
}

bool
LibSound::LoadSound(const BMessage& archive)
{
	const void* data = NULL;
	ssize_t size = 0;
	media_raw_audio_format format = empty_format();
	int32 channels = 0;
	int32 sampleFormat = 0;
	int32 byteOrder = 0;
	int32 bufferSize = 0;
	if (archive.FindData(kDataField, B_ANY_TYPE, &data, &size) != B_OK || data == NULL || size <= 0
		|| archive.FindFloat(kFrameRateField, &format.frame_rate) != B_OK
		|| archive.FindInt32(kChannelCountField, &channels) != B_OK
		|| archive.FindInt32(kFormatField, &sampleFormat) != B_OK
		|| archive.FindInt32(kByteOrderField, &byteOrder) != B_OK
		|| archive.FindInt32(kBufferSizeField, &bufferSize) != B_OK) {
		return false;
	}
	// A format that describes no samples is refused rather than handed to the player.
	if (!(format.frame_rate > 0) || channels < 1 || bufferSize < 0
		|| (sampleFormat & media_raw_audio_format::B_AUDIO_SIZE_MASK) == 0) {
		return false;
	}
	format.channel_count = (uint32)channels;
	format.format = (uint32)sampleFormat;
	format.byte_order = (uint32)byteOrder;
	format.buffer_size = (size_t)bufferSize;

	// The sound keeps its own copy: the message may go before the sound does.
	void* copy = malloc((size_t)size);
	if (copy == NULL)
		return false;
	memcpy(copy, data, (size_t)size);
	_ReleaseSound();
	fSound = new BSound(copy, (size_t)size, format, true);
	if (fSound->InitCheck() != B_OK) {
		_ReleaseSound();
		return false;
	}
	fFormat = fSound->Format();
	return true;
}

status_t
LibSound::Archive(BMessage& archive) const
{
	if (fSound == NULL)
		return B_NO_INIT;
	status_t status =
		archive.AddData(kDataField, B_ANY_TYPE, fSound->Data(), (ssize_t)fSound->Size(), true, 1);
	if (status == B_OK)
		status = archive.AddFloat(kFrameRateField, fFormat.frame_rate);
	if (status == B_OK)
		status = archive.AddInt32(kChannelCountField, (int32)fFormat.channel_count);
	if (status == B_OK)
		status = archive.AddInt32(kFormatField, (int32)fFormat.format);
	if (status == B_OK)
		status = archive.AddInt32(kByteOrderField, (int32)fFormat.byte_order);
	if (status == B_OK)
		status = archive.AddInt32(kBufferSizeField, (int32)fFormat.buffer_size);
	return status;
}

play_id
LibSound::Play()
{
	if (!fReady)
		return 0;
	const bool playing = IsPlaying();
	if (playing && !fAllowMultiple)
		return 0;
	if (playing && fPath.InitCheck() == B_OK) {
		// The new play gets a sound of its own, loaded from the file again. A sound that
		// came in a message has no file; its plays share it (the player holds a reference
		// for each).
		if (!LoadSound(fPath.Path())) {
			fReady = false;
			return 0;
		}
	}
	if (!playing) {
		fPlayer->Stop(true, true);
		fPlayer->Start();
	}
	fPlayId = fPlayer->StartPlaying(fSound);
	return fPlayId;
}

bool
LibSound::IsPlaying()
{
	if (!fReady)
		return false;
	return fPlayer->HasData() || (fPlayId != 0 && fPlayer->IsPlaying(fPlayId));
}

bool
LibSound::IsProceeding() const
{
	return fReady;
}

void
LibSound::AllowMultiple(const bool& allow)
{
	fAllowMultiple = allow;
}

void
LibSound::_MakePlayer(const char* name)
{
	fPlayer = std::make_unique<BSoundPlayer>(&fFormat, name);
	fPlayer->SetVolume(1.0f);
	fReady = true;
}

void
LibSound::_ReleaseSound()
{
	if (fSound != NULL) {
		fSound->ReleaseRef();
		fSound = NULL;
	}
}
