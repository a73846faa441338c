#include "WavSound.h"

#include "PackageDefs.h"

#include <Message.h>
#include <TypeConstants.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

constexpr uint16 kWavePcm = 1;
constexpr uint16 kWaveFloat = 3;
constexpr uint16 kWaveExtensible = 0xfffe;

uint16
read16(const uint8* data)
{
	return static_cast<uint16>(data[0] | (data[1] << 8));
}

uint32
read32(const uint8* data)
{
	return static_cast<uint32>(data[0]) | (static_cast<uint32>(data[1]) << 8)
		| (static_cast<uint32>(data[2]) << 16) | (static_cast<uint32>(data[3]) << 24);
}

void
put16(std::vector<uint8>& out, uint16 value)
{
	out.push_back(value & 0xff);
	out.push_back(value >> 8);
}

void
put32(std::vector<uint8>& out, uint32 value)
{
	for (int shift = 0; shift < 32; shift += 8)
		out.push_back((value >> shift) & 0xff);
}

void
put_tag(std::vector<uint8>& out, const char* tag)
{
	out.insert(out.end(), tag, tag + 4);
}

int32
bytes_per_sample(int32 format)
{
	return format & 0xf;
}

} // namespace

status_t
ArchiveWavSound(const std::string& path, BMessage& archive, std::string& error)
{
	std::ifstream stream(path, std::ios::binary);
	std::vector<uint8> file(
		(std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
	if (file.size() < 12 || memcmp(file.data(), "RIFF", 4) != 0
		|| memcmp(file.data() + 8, "WAVE", 4) != 0) {
		error = "not a RIFF WAVE file";
		return B_BAD_DATA;
	}

	const uint8* format = nullptr;
	uint32 formatSize = 0;
	const uint8* samples = nullptr;
	uint32 samplesSize = 0;
	size_t offset = 12;
	while (offset + 8 <= file.size()) {
		const uint8* chunk = file.data() + offset;
		uint32 size = read32(chunk + 4);
		size_t available = file.size() - offset - 8;
		if (memcmp(chunk, "fmt ", 4) == 0) {
			if (size > available) {
				error = "the format chunk runs past the end of the file";
				return B_BAD_DATA;
			}
			format = chunk + 8;
			formatSize = size;
		} else if (memcmp(chunk, "data", 4) == 0) {
			// Writers that stream often leave the size at its maximum: take what is there.
			samples = chunk + 8;
			samplesSize = static_cast<uint32>(std::min<size_t>(size, available));
		}
		if (size > available)
			break;
		// Chunks are padded to an even size.
		offset += 8 + size + (size & 1);
	}
	if (format == nullptr || formatSize < 16) {
		error = "the file has no format chunk";
		return B_BAD_DATA;
	}
	if (samples == nullptr) {
		error = "the file has no data chunk";
		return B_BAD_DATA;
	}

	uint16 tag = read16(format);
	uint16 channels = read16(format + 2);
	uint32 frameRate = read32(format + 4);
	uint16 bits = read16(format + 14);
	if (tag == kWaveExtensible && formatSize >= 26)
		tag = read16(format + 24);
	if (channels == 0 || frameRate == 0) {
		error = "the file names no channels or no frame rate";
		return B_BAD_DATA;
	}

	int32 sampleFormat = 0;
	if (tag == kWavePcm && bits == 8)
		sampleFormat = SoundFormat::kUnsigned8;
	else if (tag == kWavePcm && bits == 16)
		sampleFormat = SoundFormat::kSigned16;
	else if (tag == kWavePcm && (bits == 24 || bits == 32))
		sampleFormat = SoundFormat::kSigned32;
	else if (tag == kWaveFloat && bits == 32)
		sampleFormat = SoundFormat::kFloat;
	else {
		error = "only PCM samples of 8, 16, 24 or 32 bits and 32-bit float samples are "
				"supported";
		return B_BAD_DATA;
	}

	size_t frameBytes = static_cast<size_t>(channels) * (bits / 8);
	size_t frames = samplesSize / frameBytes;
	std::vector<uint8> data;
	if (bits == 24) {
		// Widened to 32 bits: the low byte is zero.
		data.reserve(frames * channels * 4);
		for (size_t i = 0; i < frames * channels; i++) {
			data.push_back(0);
			data.insert(data.end(), samples + i * 3, samples + i * 3 + 3);
		}
	} else
		data.assign(samples, samples + frames * frameBytes);
	if (data.empty()) {
		error = "the file holds no samples";
		return B_BAD_DATA;
	}

	archive.MakeEmpty();
	archive.AddData(Package::kSoundData, B_ANY_TYPE, data.data(), data.size(), true, 1);
	archive.AddFloat(Package::kSoundFrameRate, static_cast<float>(frameRate));
	archive.AddInt32(Package::kSoundChannelCount, channels);
	archive.AddInt32(Package::kSoundFormat, sampleFormat);
	archive.AddInt32(Package::kSoundByteOrder, SoundFormat::kLittleEndian);
	archive.AddInt32(Package::kSoundBufferSize,
		SoundFormat::kBufferFrames * channels * bytes_per_sample(sampleFormat));
	return B_OK;
}

status_t
SaveArchivedSound(const BMessage& archive, const std::string& path)
{
	const void* data = nullptr;
	ssize_t size = 0;
	float frameRate = 0;
	int32 channels = 0;
	int32 format = 0;
	int32 byteOrder = SoundFormat::kLittleEndian;
	if (archive.FindData(Package::kSoundData, B_ANY_TYPE, &data, &size) != B_OK
		|| archive.FindFloat(Package::kSoundFrameRate, &frameRate) != B_OK
		|| archive.FindInt32(Package::kSoundChannelCount, &channels) != B_OK
		|| archive.FindInt32(Package::kSoundFormat, &format) != B_OK)
		return B_BAD_DATA;
	archive.FindInt32(Package::kSoundByteOrder, &byteOrder);

	int32 sampleBytes = bytes_per_sample(format);
	bool isFloat = format == SoundFormat::kFloat;
	if (channels <= 0 || channels > 0xffff || sampleBytes == 0 || frameRate <= 0
		|| (format != SoundFormat::kUnsigned8 && format != SoundFormat::kSigned16
			&& format != SoundFormat::kSigned32 && !isFloat))
		return B_BAD_DATA;

	std::vector<uint8> samples(
		static_cast<const uint8*>(data), static_cast<const uint8*>(data) + size);
	if (byteOrder == SoundFormat::kBigEndian && sampleBytes > 1) {
		for (size_t i = 0; i + sampleBytes <= samples.size(); i += sampleBytes)
			std::reverse(samples.begin() + i, samples.begin() + i + sampleBytes);
	}

	std::vector<uint8> file;
	put_tag(file, "RIFF");
	put32(file, static_cast<uint32>(36 + samples.size()));
	put_tag(file, "WAVE");
	put_tag(file, "fmt ");
	put32(file, 16);
	put16(file, isFloat ? kWaveFloat : kWavePcm);
	put16(file, static_cast<uint16>(channels));
	put32(file, static_cast<uint32>(frameRate));
	put32(file, static_cast<uint32>(frameRate) * channels * sampleBytes);
	put16(file, static_cast<uint16>(channels * sampleBytes));
	put16(file, static_cast<uint16>(sampleBytes * 8));
	put_tag(file, "data");
	put32(file, static_cast<uint32>(samples.size()));
	file.insert(file.end(), samples.begin(), samples.end());
	if (samples.size() % 2 != 0)
		file.push_back(0);

	std::ofstream stream(path, std::ios::binary | std::ios::trunc);
	stream.write(reinterpret_cast<const char*>(file.data()), file.size());
	return stream.good() ? B_OK : B_IO_ERROR;
}
