#include "WavSound.h"

#include "PackageDefs.h"
#include "TempDir.h"

#include <Message.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

void
put16(std::string& out, uint16 value)
{
	out += static_cast<char>(value & 0xff);
	out += static_cast<char>(value >> 8);
}

void
put32(std::string& out, uint32 value)
{
	for (int shift = 0; shift < 32; shift += 8)
		out += static_cast<char>((value >> shift) & 0xff);
}

// A WAVE file; extensible wraps the format tag the way multi-channel writers do, and an
// unknown chunk before the samples must be skipped.
std::string
make_wav(uint16 tag, uint16 channels, uint32 rate, uint16 bits, const std::string& samples,
	bool extensible = false)
{
	std::string format;
	put16(format, extensible ? 0xfffe : tag);
	put16(format, channels);
	put32(format, rate);
	put32(format, rate * channels * bits / 8);
	put16(format, channels * bits / 8);
	put16(format, bits);
	if (extensible) {
		put16(format, 22);
		put16(format, bits);
		put32(format, 0);
		put16(format, tag);
		format += std::string(14, '\x01');
	}
	std::string body = "WAVE";
	body += "fmt ";
	put32(body, format.size());
	body += format;
	body += "LIST";
	put32(body, 3);
	body += "abc";
	body += '\0';
	body += "data";
	put32(body, samples.size());
	body += samples;
	std::string file = "RIFF";
	put32(file, body.size());
	return file + body;
}

struct Decoded {
	status_t status;
	std::string data;
	float rate;
	int32 channels;
	int32 format;
	int32 byteOrder;
	int32 bufferSize;
	std::string error;
};

Decoded
decode(const std::string& bytes)
{
	ScopedTempDir folder;
	std::string path = folder.Child("sound.wav");
	std::ofstream(path, std::ios::binary) << bytes;
	BMessage archive;
	Decoded result {};
	result.status = ArchiveWavSound(path, archive, result.error);
	const void* data = nullptr;
	ssize_t size = 0;
	if (archive.FindData(Package::kSoundData, B_ANY_TYPE, &data, &size) == B_OK)
		result.data.assign(static_cast<const char*>(data), size);
	archive.FindFloat(Package::kSoundFrameRate, &result.rate);
	archive.FindInt32(Package::kSoundChannelCount, &result.channels);
	archive.FindInt32(Package::kSoundFormat, &result.format);
	archive.FindInt32(Package::kSoundByteOrder, &result.byteOrder);
	archive.FindInt32(Package::kSoundBufferSize, &result.bufferSize);
	return result;
}

} // namespace

TEST(WavSound, DecodesEachSampleFormat)
{
	const std::string samples16("\x01\x02\x03\x04\x05\x06\x07\x08", 8);

	struct Row {
		const char* what;
		std::string file;
		std::string data;
		int32 channels;
		int32 format;
		int32 bufferSize;
	} const rows[] = {
		{ "8-bit mono", make_wav(1, 1, 8000, 8, "\x80\x81\x7f"), "\x80\x81\x7f", 1, 0x11, 1024 },
		{ "16-bit stereo", make_wav(1, 2, 44100, 16, samples16), samples16, 2, 0x2, 4096 },
		{ "32-bit float", make_wav(3, 1, 48000, 32, samples16), samples16, 1, 0x24, 4096 },
		{ "extensible 16-bit", make_wav(1, 2, 44100, 16, samples16, true), samples16, 2, 0x2,
			4096 },
		{ "24-bit widened", make_wav(1, 1, 8000, 24, std::string("\x01\x02\x03\x04\x05\x06", 6)),
			std::string("\x00\x01\x02\x03\x00\x04\x05\x06", 8), 1, 0x4, 4096 },
		{ "partial frame dropped", make_wav(1, 2, 8000, 16, std::string("\x01\x02\x03\x04\x05", 5)),
			std::string("\x01\x02\x03\x04", 4), 2, 0x2, 4096 },
	};

	for (const Row& row : rows) {
		Decoded decoded = decode(row.file);
		ASSERT_EQ(decoded.status, B_OK) << row.what << ": " << decoded.error;
		EXPECT_EQ(decoded.data, row.data) << row.what;
		EXPECT_EQ(decoded.channels, row.channels) << row.what;
		EXPECT_EQ(decoded.format, row.format) << row.what;
		EXPECT_EQ(decoded.byteOrder, 2) << row.what;
		EXPECT_EQ(decoded.bufferSize, row.bufferSize) << row.what;
	}
	EXPECT_EQ(decode(make_wav(1, 2, 44100, 16, samples16)).rate, 44100.0f);
}

TEST(WavSound, RejectsWhatIsNotPlayablePcm)
{
	std::string good = make_wav(1, 1, 8000, 16, "\x01\x02");
	std::string truncatedFormat = good.substr(0, 30);
	std::string noData = good.substr(0, good.find("data"));

	struct Row {
		const char* what;
		std::string file;
		const char* error;
	} const rows[] = {
		{ "not RIFF", "hello, this is text", "not a RIFF WAVE file" },
		{ "empty", "", "not a RIFF WAVE file" },
		{ "compressed", make_wav(2, 1, 8000, 4, "\x01\x02"), "only PCM" },
		{ "12-bit", make_wav(1, 1, 8000, 12, "\x01\x02"), "only PCM" },
		{ "no channels", make_wav(1, 0, 8000, 16, "\x01\x02"), "no channels" },
		{ "truncated format", truncatedFormat, "format chunk" },
		{ "no data", noData, "no data chunk" },
		{ "no samples", make_wav(1, 1, 8000, 16, ""), "no samples" },
	};

	for (const Row& row : rows) {
		Decoded decoded = decode(row.file);
		EXPECT_EQ(decoded.status, B_BAD_DATA) << row.what;
		EXPECT_NE(decoded.error.find(row.error), std::string::npos)
			<< row.what << ": " << decoded.error;
	}
}

TEST(WavSound, SavedSoundDecodesToTheSameArchive)
{
	ScopedTempDir folder;
	for (int32 format : { 0x11, 0x2, 0x4, 0x24 }) {
		BMessage archive;
		std::string samples("\x10\x20\x30\x40\x50\x60\x70\x80", 8);
		archive.AddData(Package::kSoundData, B_ANY_TYPE, samples.data(), samples.size());
		archive.AddFloat(Package::kSoundFrameRate, 22050.0f);
		archive.AddInt32(Package::kSoundChannelCount, 2);
		archive.AddInt32(Package::kSoundFormat, format);
		archive.AddInt32(Package::kSoundByteOrder, 2);
		archive.AddInt32(Package::kSoundBufferSize, 1024 * 2 * (format & 0xf));
		std::string path = folder.Child("saved.wav");
		ASSERT_EQ(SaveArchivedSound(archive, path), B_OK) << format;

		BMessage decoded;
		std::string error;
		ASSERT_EQ(ArchiveWavSound(path, decoded, error), B_OK) << format << ": " << error;
		EXPECT_TRUE(decoded.HasSameData(archive, false, true)) << format;
	}

	BMessage unsupported;
	unsupported.AddData(Package::kSoundData, B_ANY_TYPE, "ab", 2);
	unsupported.AddFloat(Package::kSoundFrameRate, 8000.0f);
	unsupported.AddInt32(Package::kSoundChannelCount, 1);
	unsupported.AddInt32(Package::kSoundFormat, 0x1008);
	EXPECT_EQ(SaveArchivedSound(unsupported, folder.Child("bad.wav")), B_BAD_DATA);
}
