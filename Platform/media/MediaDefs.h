// The media kit's shared definitions: the raw audio format record and its codes.
#ifndef _MEDIA_DEFS_H
#define _MEDIA_DEFS_H

#include <Errors.h>
#include <SupportDefs.h>

#include <cstddef>

enum {
	B_MEDIA_SYSTEM_FAILURE = B_MEDIA_ERROR_BASE + 0x100,
	B_MEDIA_BAD_NODE,
	B_MEDIA_NODE_BUSY,
	B_MEDIA_BAD_FORMAT,
	B_MEDIA_BAD_BUFFER,
	B_MEDIA_TOO_MANY_NODES,
	B_MEDIA_TOO_MANY_BUFFERS,
	B_MEDIA_NODE_ALREADY_EXISTS,
	B_MEDIA_BUFFER_ALREADY_EXISTS,
	B_MEDIA_CANNOT_SEEK
};

enum media_type { B_MEDIA_NO_TYPE = -1, B_MEDIA_UNKNOWN_TYPE = 0, B_MEDIA_RAW_AUDIO = 1 };

enum {
	B_MEDIA_BIG_ENDIAN = 1,
	B_MEDIA_LITTLE_ENDIAN = 2,
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
	B_MEDIA_HOST_ENDIAN = B_MEDIA_BIG_ENDIAN
#else
	B_MEDIA_HOST_ENDIAN = B_MEDIA_LITTLE_ENDIAN
#endif
};

// One raw PCM stream: frames of channel_count samples, each sample in the format below
// (the low nibble is the sample's size in bytes).
struct media_raw_audio_format {
	enum {
		B_AUDIO_FLOAT = 0x24,
		B_AUDIO_DOUBLE = 0x28,
		B_AUDIO_INT = 0x4,
		B_AUDIO_SHORT = 0x2,
		B_AUDIO_UCHAR = 0x11,
		B_AUDIO_CHAR = 0x1,
		B_AUDIO_SIZE_MASK = 0xf
	};

	float frame_rate;
	uint32 channel_count;
	uint32 format;
	uint32 byte_order;
	size_t buffer_size;

	static const media_raw_audio_format wildcard;
};

bool operator==(const media_raw_audio_format& a, const media_raw_audio_format& b);

#endif // _MEDIA_DEFS_H
