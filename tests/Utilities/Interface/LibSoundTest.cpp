// LibSound: a sound message written back in the same form, sounds from files through links,
// what cannot be loaded, one play at a time unless several are allowed, and a machine
// without audio output, where nothing plays and nothing blocks.
#include "LibSound.h"

#include <Message.h>
#include <TypeConstants.h>

#include "SoundDevicePrivate.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

using BPrivate::SoundDevice;

namespace {

class LibSoundTest : public testing::Test {
protected:
	void SetUp() override { BPrivate::set_sound_device(SoundDevice::kVirtual); }

	void TearDown() override { BPrivate::set_sound_device(SoundDevice::kSystem); }

	ScopedTempDir fFolder;
};

// A 16-bit mono PCM WAVE file at 8000 frames per second.
std::string
write_wave(const ScopedTempDir& folder, const char* name, uint32_t frames)
{
	const std::string path = folder.Child(name);
	std::ofstream out(path, std::ios::binary);
	auto put = [&](uint32_t value, int bytes) {
		for (int i = 0; i < bytes; i++)
			out.put((char)((value >> (8 * i)) & 0xff));
	};
	out.write("RIFF", 4);
	put(36 + frames * 2, 4);
	out.write("WAVEfmt ", 8);
	for (auto [value, bytes] : { std::pair { 16u, 4 }, { 1u, 2 }, { 1u, 2 }, { 8000u, 4 },
			 { 16000u, 4 }, { 2u, 2 }, { 16u, 2 } })
		put(value, bytes);
	out.write("data", 4);
	put(frames * 2, 4);
	for (uint32_t i = 0; i < frames; i++)
		put(i * 37, 2);
	return path;
}

BMessage
sound_message(const std::vector<int16_t>& samples)
{
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
	archive.FindData("data", B_ANY_TYPE, &data, &size);
	return std::vector<char>((const char*)data, (const char*)data + (data != NULL ? size : 0));
}

} // namespace

TEST_F(LibSoundTest, AnArchivedSoundIsWrittenBackInTheSameForm)
{
	std::vector<int16_t> samples(2 * 8000);
	for (size_t i = 0; i < samples.size(); i++)
		samples[i] = (int16_t)(i * 13);
	const BMessage original = sound_message(samples);
	LibSound sound(original, "AudioFile");
	ASSERT_TRUE(sound.IsProceeding());
	BMessage written;
	ASSERT_EQ(B_OK, sound.Archive(written));
	EXPECT_EQ(data_of(original), data_of(written));
	for (const char* field : { "channel_count", "format", "byte_order", "buffer_size" })
		EXPECT_EQ(original.FindInt32(field), written.FindInt32(field)) << field;
	EXPECT_EQ(8000.0f, written.FindFloat("frame_rate"));
	type_code type = 0;
	written.GetInfo("data", &type);
	EXPECT_EQ(B_ANY_TYPE, type);

	// A file's sound, reached through a link, travels the same way.
	write_wave(fFolder, "start.wav", 4000);
	std::filesystem::create_symlink("start.wav", fFolder.Path() / "link.wav");
	LibSound fromFile(fFolder.Child("link.wav").c_str(), "AudioFile");
	BMessage fileArchive;
	ASSERT_EQ(B_OK, fromFile.Archive(fileArchive));
	EXPECT_EQ(8000u, data_of(fileArchive).size());
	LibSound again(fileArchive, "AudioFile");
	EXPECT_EQ(fromFile.Format(), again.Format());
}

TEST_F(LibSoundTest, WhatCannotBeLoadedIsNotReadyAndPlaysNothing)
{
	std::ofstream(fFolder.Child("notes.txt")) << "not a sound";
	for (const char* name : { "missing.wav", "notes.txt" }) {
		LibSound sound(fFolder.Child(name).c_str(), "AudioFile");
		EXPECT_FALSE(sound.IsProceeding()) << name;
		EXPECT_EQ(0, sound.Play());
		EXPECT_FALSE(sound.IsPlaying());
		BMessage archive;
		EXPECT_EQ(B_NO_INIT, sound.Archive(archive));
	}
	const std::vector<int16_t> samples(100, 1);
	for (const char* field : { "data", "frame_rate", "channel_count", "format" }) {
		BMessage message = sound_message(samples);
		message.RemoveName(field);
		EXPECT_FALSE(LibSound(message, "AudioFile").IsProceeding()) << field;
	}
	BMessage noChannels = sound_message(samples);
	noChannels.ReplaceInt32("channel_count", -2);
	EXPECT_FALSE(LibSound(noChannels, "AudioFile").IsProceeding());
}

TEST_F(LibSoundTest, ASecondPlayWaitsForTheFirstUnlessSeveralAreAllowed)
{
	LibSound sound(write_wave(fFolder, "long.wav", 8000 * 3).c_str(), "AudioFile");
	const play_id first = sound.Play();
	EXPECT_NE(0, first);
	EXPECT_TRUE(sound.IsPlaying());
	EXPECT_EQ(0, sound.Play());
	sound.AllowMultiple(true);
	const play_id second = sound.Play();
	EXPECT_NE(0, second);
	EXPECT_NE(first, second);

	BPrivate::set_sound_device(SoundDevice::kNone);
	LibSound silent(fFolder.Child("long.wav").c_str(), "AudioFile");
	EXPECT_TRUE(silent.IsProceeding());
	EXPECT_EQ(0, silent.Play());
	EXPECT_FALSE(silent.IsPlaying());
}
