// BSoundPlayer: plays BSounds on the default audio output. Without an audio output the
// player is not ready (InitCheck() fails), StartPlaying() plays nothing and returns 0,
// and nothing else fails.
#ifndef _SOUND_PLAYER_H
#define _SOUND_PLAYER_H

#include <MediaDefs.h>

#include <memory>

class BSound;

typedef int32 play_id;

namespace BPrivate {
class SoundPlayerData;
}

class BSoundPlayer {
public:
	enum sound_player_notification { B_STARTED = 1, B_STOPPED, B_SOUND_DONE };

	typedef void (*BufferPlayerFunc)(
		void* cookie, void* buffer, size_t size, const media_raw_audio_format& format);
	typedef void (*EventNotifierFunc)(void* cookie, sound_player_notification what, ...);

	// Buffer-filling callbacks are not supported: a player given one is not ready
	// (B_NOT_SUPPORTED). The event notifier is called with B_STARTED, B_STOPPED and
	// B_SOUND_DONE (the play_id follows) from the player's own thread.
	BSoundPlayer(const char* name = NULL, BufferPlayerFunc playerFunction = NULL,
		EventNotifierFunc eventNotifierFunction = NULL, void* cookie = NULL);
	BSoundPlayer(const media_raw_audio_format* format, const char* name = NULL,
		BufferPlayerFunc playerFunction = NULL, EventNotifierFunc eventNotifierFunction = NULL,
		void* cookie = NULL);
	virtual ~BSoundPlayer();

	BSoundPlayer(const BSoundPlayer&) = delete;
	BSoundPlayer& operator=(const BSoundPlayer&) = delete;

	status_t InitCheck();
	media_raw_audio_format Format() const;

	// Sounds started before Start() wait for it; Stop() silences every play (block waits
	// until the output has let go of the samples; flush drops the queued plays).
	status_t Start();
	void Stop(bool block = true, bool flush = true);

	// Takes a reference to the sound for as long as it plays. atTime 0 is "now"; a time
	// in the future (system_time() base) delays the start. Returns 0 when the player is
	// not ready or the sound is not usable.
	play_id StartPlaying(BSound* sound, bigtime_t atTime = 0);
	play_id StartPlaying(BSound* sound, bigtime_t atTime, float withVolume);
	status_t SetSoundVolume(play_id id, float newVolume);
	bool IsPlaying(play_id id);
	status_t StopPlaying(play_id id);
	status_t WaitForSound(play_id id);

	float Volume();
	void SetVolume(float volume);

	// True while any play is still sounding (or after SetHasData(true)).
	bool HasData();
	void SetHasData(bool hasData);

private:
	std::unique_ptr<BPrivate::SoundPlayerData> fData;
};

#endif // _SOUND_PLAYER_H
