// BSound and BSoundPlayer: raw samples make a sound whatever the output; a player is ready
// only with an output, and without one nothing plays and nothing fails.
#include <OS.h>
#include <Sound.h>
#include <SoundPlayer.h>

#include "SoundDevicePrivate.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using BPrivate::SoundDevice;

namespace {

class ScopedSoundDevice {
public:
	explicit ScopedSoundDevice(SoundDevice device) { BPrivate::set_sound_device(device); }

	~ScopedSoundDevice() { BPrivate::set_sound_device(SoundDevice::kSystem); }
};

media_raw_audio_format
short_stereo(float rate)
{
	media_raw_audio_format format = media_raw_audio_format::wildcard;
	format.frame_rate = rate;
	format.channel_count = 2;
	format.format = media_raw_audio_format::B_AUDIO_SHORT;
	format.byte_order = B_MEDIA_LITTLE_ENDIAN;
	format.buffer_size = 4096;
	return format;
}

} // namespace

TEST(SoundPlayerTest, RawSamplesMakeASoundOfTheirLength)
{
	std::vector<int16_t> samples(2 * 8000, 100);
	BSound* sound = new BSound(samples.data(), samples.size() * 2, short_stereo(8000));
	ASSERT_EQ(B_OK, sound->InitCheck());
	EXPECT_EQ(samples.size() * 2, sound->Size());
	EXPECT_EQ(1000000, sound->Duration());
	EXPECT_EQ(8000.0f, sound->Format().frame_rate);
	EXPECT_EQ(1, sound->RefCount());
	sound->AcquireRef();
	EXPECT_FALSE(sound->ReleaseRef());
	EXPECT_TRUE(sound->ReleaseRef());
}

TEST(SoundPlayerTest, MalformedFormatsAreRefused)
{
	int16_t sample = 0;

	struct Row {
		const char* what;
		float rate;
		uint32 channels;
		uint32 sampleFormat;
		uint32 byteOrder;
	} rows[] = {
		{ "no frame rate", 0, 2, media_raw_audio_format::B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN },
		{ "no channels", 8000, 0, media_raw_audio_format::B_AUDIO_SHORT, B_MEDIA_LITTLE_ENDIAN },
		{ "unknown sample", 8000, 2, 0x3, B_MEDIA_LITTLE_ENDIAN },
		{ "unknown byte order", 8000, 2, media_raw_audio_format::B_AUDIO_SHORT, 7 },
	};

	for (const Row& row : rows) {
		media_raw_audio_format format = short_stereo(row.rate);
		format.channel_count = row.channels;
		format.format = row.sampleFormat;
		format.byte_order = row.byteOrder;
		BSound* sound = new BSound(&sample, sizeof(sample), format);
		EXPECT_EQ(B_MEDIA_BAD_FORMAT, sound->InitCheck()) << row.what;
		sound->ReleaseRef();
	}
}

TEST(SoundPlayerTest, WithoutAnOutputNothingPlaysAndNothingFails)
{
	ScopedSoundDevice none(SoundDevice::kNone);
	std::vector<int16_t> samples(2 * 800, 0);
	BSound* sound = new BSound(samples.data(), samples.size() * 2, short_stereo(8000));
	ASSERT_EQ(B_OK, sound->InitCheck());

	media_raw_audio_format format = sound->Format();
	BSoundPlayer player(&format, "AudioFile");
	EXPECT_NE(B_OK, player.InitCheck());
	EXPECT_NE(B_OK, player.Start());
	EXPECT_EQ(0, player.StartPlaying(sound));
	EXPECT_FALSE(player.IsPlaying(1));
	EXPECT_FALSE(player.HasData());
	player.SetVolume(1.0f);
	player.Stop(true, true);
	// The player took no reference.
	EXPECT_EQ(1, sound->RefCount());
	sound->ReleaseRef();
}

TEST(SoundPlayerTest, APlayLastsTheSoundsLengthOnAnOutput)
{
	ScopedSoundDevice virtualOutput(SoundDevice::kVirtual);
	std::vector<int16_t> samples(2 * 800, 0); // 0.1 s
	BSound* sound = new BSound(samples.data(), samples.size() * 2, short_stereo(8000));
	media_raw_audio_format format = sound->Format();
	BSoundPlayer player(&format, "AudioFile");
	ASSERT_EQ(B_OK, player.InitCheck());
	ASSERT_EQ(B_OK, player.Start());

	const bigtime_t started = system_time();
	const play_id id = player.StartPlaying(sound);
	ASSERT_GT(id, 0);
	EXPECT_EQ(2, sound->RefCount());
	EXPECT_TRUE(player.IsPlaying(id) || system_time() - started >= 100000);
	EXPECT_EQ(B_OK, player.WaitForSound(id));
	EXPECT_GE(system_time() - started, 100000);
	EXPECT_FALSE(player.IsPlaying(id));
	EXPECT_FALSE(player.HasData());
	EXPECT_EQ(1, sound->RefCount());
	sound->ReleaseRef();
}

TEST(SoundPlayerTest, StopEndsEveryPlayAndLetsGoOfTheSounds)
{
	ScopedSoundDevice virtualOutput(SoundDevice::kVirtual);
	std::vector<int16_t> samples(2 * 80000, 0); // ten seconds
	BSound* sound = new BSound(samples.data(), samples.size() * 2, short_stereo(8000));
	media_raw_audio_format format = sound->Format();
	BSoundPlayer player(&format, "AudioFile");
	ASSERT_EQ(B_OK, player.Start());
	const play_id first = player.StartPlaying(sound);
	const play_id second = player.StartPlaying(sound);
	EXPECT_NE(first, second);
	EXPECT_TRUE(player.IsPlaying(first));
	EXPECT_TRUE(player.HasData());
	EXPECT_EQ(3, sound->RefCount());

	EXPECT_EQ(B_OK, player.StopPlaying(first));
	EXPECT_FALSE(player.IsPlaying(first));
	EXPECT_TRUE(player.IsPlaying(second));
	player.Stop(true, true);
	EXPECT_FALSE(player.IsPlaying(second));
	EXPECT_FALSE(player.HasData());
	EXPECT_EQ(1, sound->RefCount());
	sound->ReleaseRef();
}

TEST(SoundPlayerTest, PlaysStartedBeforeStartWaitForIt)
{
	ScopedSoundDevice virtualOutput(SoundDevice::kVirtual);
	std::vector<int16_t> samples(2 * 80000, 0);
	BSound* sound = new BSound(samples.data(), samples.size() * 2, short_stereo(8000));
	BSoundPlayer player("AudioFile");
	const play_id id = player.StartPlaying(sound);
	ASSERT_GT(id, 0);
	EXPECT_TRUE(player.IsPlaying(id));
	EXPECT_FALSE(player.HasData());
	ASSERT_EQ(B_OK, player.Start());
	EXPECT_TRUE(player.HasData());
	sound->ReleaseRef();
	// The player still holds the sound; its destructor lets it go (LeakSanitizer checks).
}

TEST(SoundPlayerTest, TheSystemOutputIsReadyOrCleanlyNotReady)
{
	std::vector<int16_t> samples(2 * 80, 0);
	BSound* sound = new BSound(samples.data(), samples.size() * 2, short_stereo(8000));
	media_raw_audio_format format = sound->Format();
	{
		BSoundPlayer player(&format, "AudioFile");
		if (player.InitCheck() == B_OK) {
			EXPECT_EQ(B_OK, player.Start());
			EXPECT_GT(player.StartPlaying(sound), 0);
		} else {
			EXPECT_EQ(0, player.StartPlaying(sound));
		}
	}
	EXPECT_EQ(1, sound->RefCount());
	sound->ReleaseRef();
}
