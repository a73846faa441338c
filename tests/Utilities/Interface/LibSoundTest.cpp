// LibSound: sounds from files (links followed) and from messages, the message written back
// in the same form, the single-play rule, and a machine without audio output, where nothing
// plays and nothing blocks.
#include "LibSound.h"

#include <Message.h>
#include <TypeConstants.h>

#include "SoundDevicePrivate.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using BPrivate::SoundDevice;

namespace {

class ScopedSoundDevice {
public:
	explicit ScopedSoundDevice(SoundDevice device) { BPrivate::set_sound_device(device); }

	~ScopedSoundDevice() { BPrivate::set_sound_device(SoundDevice::kSystem); }
};

void
put32(std::ofstream& out, uint32_t value)
{
	char bytes[4] = { (char)(value & 0xff), (char)((value >> 8) & 0xff),
		(char)((value >> 16) & 0xff), (char)(value >> 24) };
	out.write(bytes, 4);
}

void
put16(std::ofstream& out, uint16_t value)
{
	char bytes[2] = { (char)(value & 0xff), (char)(value >> 8) };
	out.write(bytes, 2);
}

// A 16-bit mono PCM WAVE file of the given length at 8000 frames per second.
void
write_wave(const std::string& path, int32 frames)
{
	std::ofstream out(path, std::ios::binary);
	const uint32_t dataSize = (uint32_t)frames * 2;
	out.write("RIFF", 4);
	put32(out, 36 + dataSize);
	out.write("WAVEfmt ", 8);
	put32(out, 16);
	put16(out, 1);
	put16(out, 1);
	put32(out, 8000);
	put32(out, 16000);
	put16(out, 2);
	put16(out, 16);
	out.write("data", 4);
	put32(out, dataSize);
	for (int32 i = 0; i < frames; i++)
		put16(out, (uint16_t)(i * 37));
}

// A message holding a second of 16-bit stereo samples.
BMessage
sound_message(std::vector<int16_t>& samples)
{
	samples.assign(2 * 8000, 0);
	for (size_t i = 0; i < samples.size(); i++)
		samples[i] = (int16_t)(i * 13);
	BMessage message(2200);
	message.AddData("data", B_ANY_TYPE, samples.data(), (ssize_t)(samples.size() * 2), true, 1);
	message.AddFloat("frame_rate", 8000);
	message.AddInt32("channel_count", 2);
	message.AddInt32("format", media_raw_audio_format::B_AUDIO_SHORT);
	message.AddInt32("byte_order", B_MEDIA_LITTLE_ENDIAN);
	message.AddInt32("buffer_size", 4096);
	return message;
}

std::vector<char>
data_of(const BMessage& archive)
{
	const void* data = NULL;
	ssize_t size = 0;
	if (archive.FindData("data", B_ANY_TYPE, &data, &size) != B_OK)
		return {};
	return std::vector<char>((const char*)data, (const char*)data + size);
}

} // namespace

TEST(LibSoundTest, WhatCannotBeLoadedIsNotReadyAndPlaysNothing)
{
	ScopedSoundDevice device(SoundDevice::kVirtual);
	ScopedTempDir folder;
	std::ofstream(folder.Child("notes.txt")) << "not a sound";

	const std::string paths[] = { folder.Child("missing.wav"), folder.Child("notes.txt") };
	for (const std::string& path : paths) {
		LibSound sound(path.c_str(), "AudioFile");
		EXPECT_FALSE(sound.IsProceeding()) << path;
		EXPECT_EQ(0, sound.Play());
		EXPECT_FALSE(sound.IsPlaying());
		BMessage archive;
		EXPECT_EQ(B_NO_INIT, sound.Archive(archive));
	}
	LibSound none((const char*)NULL, "AudioFile");
	EXPECT_FALSE(none.IsProceeding());
}

TEST(LibSoundTest, AMessageWithoutAUsableSoundIsNotReady)
{
	ScopedSoundDevice device(SoundDevice::kVirtual);
	std::vector<int16_t> samples;
	const char* fields[] = { "data", "frame_rate", "channel_count", "format", "byte_order",
		"buffer_size" };
	for (const char* field : fields) {
		BMessage message = sound_message(samples);
		message.RemoveName(field);
		LibSound sound(message, "AudioFile");
		EXPECT_FALSE(sound.IsProceeding()) << field;
	}
	BMessage noChannels = sound_message(samples);
	noChannels.ReplaceInt32("channel_count", -2);
	EXPECT_FALSE(LibSound(noChannels, "AudioFile").IsProceeding());
	BMessage badFormat = sound_message(samples);
	badFormat.ReplaceInt32("format", 0x30);
	EXPECT_FALSE(LibSound(badFormat, "AudioFile").IsProceeding());
}

TEST(LibSoundTest, AnArchivedSoundComesBackWithTheSameFormatAndSamples)
{
	ScopedSoundDevice device(SoundDevice::kVirtual);
	std::vector<int16_t> samples;
	BMessage original = sound_message(samples);
	LibSound fromMessage(original, "AudioFile");
	ASSERT_TRUE(fromMessage.IsProceeding());

	BMessage written;
	ASSERT_EQ(B_OK, fromMessage.Archive(written));
	EXPECT_EQ(data_of(original), data_of(written));
	EXPECT_EQ(8000.0f, written.FindFloat("frame_rate"));
	EXPECT_EQ(2, written.FindInt32("channel_count"));
	EXPECT_EQ(media_raw_audio_format::B_AUDIO_SHORT, written.FindInt32("format"));
	EXPECT_EQ(B_MEDIA_LITTLE_ENDIAN, written.FindInt32("byte_order"));
	EXPECT_EQ(4096, written.FindInt32("buffer_size"));
	type_code type = 0;
	ASSERT_EQ(B_OK, written.GetInfo("data", &type));
	EXPECT_EQ(B_ANY_TYPE, type);

	// A file's sound travels the same way, through a link to it.
	ScopedTempDir folder;
	write_wave(folder.Child("start.wav"), 4000);
	std::filesystem::create_symlink("start.wav", folder.Path() / "link.wav");
	LibSound fromFile(folder.Child("link.wav").c_str(), "AudioFile");
	ASSERT_TRUE(fromFile.IsProceeding());
	BMessage fileArchive;
	ASSERT_EQ(B_OK, fromFile.Archive(fileArchive));
	EXPECT_EQ(8000u, data_of(fileArchive).size());
	LibSound again(fileArchive, "AudioFile");
	ASSERT_TRUE(again.IsProceeding());
	EXPECT_EQ(fromFile.Format(), again.Format());
	BMessage againArchive;
	again.Archive(againArchive);
	EXPECT_EQ(data_of(fileArchive), data_of(againArchive));
}

TEST(LibSoundTest, ASecondPlayWaitsForTheFirstUnlessSeveralAreAllowed)
{
	ScopedSoundDevice device(SoundDevice::kVirtual);
	ScopedTempDir folder;
	write_wave(folder.Child("long.wav"), 8000 * 3);
	LibSound sound(folder.Child("long.wav").c_str(), "AudioFile");
	ASSERT_TRUE(sound.IsProceeding());

	const play_id first = sound.Play();
	EXPECT_NE(0, first);
	EXPECT_TRUE(sound.IsPlaying());
	EXPECT_EQ(0, sound.Play());

	sound.AllowMultiple(true);
	const play_id second = sound.Play();
	EXPECT_NE(0, second);
	EXPECT_NE(first, second);

	std::vector<int16_t> samples;
	LibSound fromMessage(sound_message(samples), "AudioFile");
	fromMessage.AllowMultiple(true);
	EXPECT_NE(0, fromMessage.Play());
	EXPECT_NE(0, fromMessage.Play());
}

TEST(LibSoundTest, WithoutAnAudioOutputNothingPlaysAndNothingFails)
{
	ScopedSoundDevice device(SoundDevice::kNone);
	ScopedTempDir folder;
	write_wave(folder.Child("start.wav"), 8000);
	LibSound sound(folder.Child("start.wav").c_str(), "AudioFile");
	EXPECT_TRUE(sound.IsProceeding());
	EXPECT_EQ(0, sound.Play());
	EXPECT_FALSE(sound.IsPlaying());
	BMessage archive;
	EXPECT_EQ(B_OK, sound.Archive(archive));
}
