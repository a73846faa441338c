// One sound played through the media kit: a sound file on disk, or a sound carried in a
// message (its samples and format), which is how sounds travel in configuration data.
// Without an audio output nothing plays and nothing fails or blocks.
#ifndef LIB_SOUND_H
#define LIB_SOUND_H

#include <Entry.h>
#include <MediaDefs.h>
#include <Path.h>
#include <SoundPlayer.h>

#include <memory>

class BMessage;
class BSound;

class LibSound {
public:
	// A sound file (links followed), played by a player of that name.
	LibSound(const char* path, const char* name);
	// A sound archived in a message ("data", "frame_rate", "channel_count", "format",
	// "byte_order", "buffer_size"), played by a player of that name.
	LibSound(const BMessage& archive, const char* name);
	// Stops the player (waiting, dropping what is queued) and releases the sound.
	virtual ~LibSound();

	LibSound(const LibSound&) = delete;
	LibSound& operator=(const LibSound&) = delete;

	// Loads the file wholly into memory; true when the sound is usable.
	bool LoadSound(const char* path);
	// Copies the message's samples and takes its format; true when the sound is usable.
	bool LoadSound(const BMessage& archive);
	// Adds the six fields of the loaded sound; B_NO_INIT when there is none.
	status_t Archive(BMessage& archive) const;

	// Starts playing and returns the play's id; 0 when nothing was started (not ready, no
	// audio output, or still playing and several plays are not allowed).
	play_id Play();
	// Whether the sound (or anything of the player) is still sounding.
	bool IsPlaying();
	// The sound loaded and its player exists.
	bool IsProceeding() const;
	// Whether Play() may start a new play while one is running.
	void AllowMultiple(const bool& allow);

	const media_raw_audio_format& Format() const { return fFormat; }

private:
	void _MakePlayer(const char* name);
	void _ReleaseSound();

	std::unique_ptr<BSoundPlayer> fPlayer;
	play_id fPlayId;
	BSound* fSound;
	bool fReady;
	BEntry fEntry;
	entry_ref fRef;
	media_raw_audio_format fFormat;
	BPath fPath;
	bool fAllowMultiple;
};

#endif // LIB_SOUND_H
