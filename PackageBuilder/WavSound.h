// The start-up sound of a package: a RIFF WAVE file decoded here (integer PCM of 8, 16, 24
// or 32 bits, or 32-bit float; the extensible header included) into the archived sound
// the installer plays: raw samples with their frame rate, channel count, sample format and
// byte order. 24-bit samples become 32-bit ones. No library is involved: a WAVE file is a
// few headers in front of the samples.
#ifndef WAV_SOUND_H
#define WAV_SOUND_H

#include <SupportDefs.h>

#include <string>

class BMessage;

// The media kit's raw audio codes that the archived sound carries.
namespace SoundFormat {
constexpr int32 kUnsigned8 = 0x11;
constexpr int32 kSigned8 = 0x01;
constexpr int32 kSigned16 = 0x02;
constexpr int32 kSigned32 = 0x04;
constexpr int32 kFloat = 0x24;
constexpr int32 kBigEndian = 1;
constexpr int32 kLittleEndian = 2;
// The player's buffer holds this many frames.
constexpr int32 kBufferFrames = 1024;
} // namespace SoundFormat

// Decodes the WAVE file into archive's "data", "frame_rate", "channel_count", "format",
// "byte_order" and "buffer_size". B_BAD_DATA with a reason in error for anything else.
status_t ArchiveWavSound(const std::string& path, BMessage& archive, std::string& error);

// Writes an archived sound back as a WAVE file that decodes to the same archive.
status_t SaveArchivedSound(const BMessage& archive, const std::string& path);

#endif // WAV_SOUND_H
