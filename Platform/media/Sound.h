// BSound: a sound held in memory as raw PCM samples with their format, shared between
// the players that play it by reference counting.
#ifndef _SOUND_H
#define _SOUND_H

#include <MediaDefs.h>

#include <atomic>

struct entry_ref;

class BSound {
public:
	// Wraps size bytes of samples in the format. With freeWhenDone the sound owns data
	// (allocated with malloc) and frees it when the last reference goes; otherwise the
	// caller keeps data alive while the sound exists.
	BSound(
		void* data, size_t size, const media_raw_audio_format& format, bool freeWhenDone = false);
	// Loads a sound file wholly into memory. RIFF WAVE files of integer or float PCM are
	// read; anything else leaves InitCheck() at B_MEDIA_BAD_FORMAT. loadIntoMemory is
	// accepted for compatibility: the samples are always read at once.
	BSound(const entry_ref* soundFile, bool loadIntoMemory = false);

	BSound(const BSound&) = delete;
	BSound& operator=(const BSound&) = delete;

	status_t InitCheck();
	const void* Data() const;
	size_t Size() const;
	const media_raw_audio_format& Format() const;
	// The sound's length in microseconds.
	bigtime_t Duration() const;

	// A new sound starts with one reference. ReleaseRef() returns true when it deleted
	// the sound.
	BSound* AcquireRef();
	bool ReleaseRef();
	int32 RefCount() const;

protected:
	virtual ~BSound();

private:
	void* fData;
	size_t fSize;
	media_raw_audio_format fFormat;
	bool fFreeWhenDone;
	status_t fStatus;
	std::atomic<int32> fRefCount;
};

#endif // _SOUND_H
