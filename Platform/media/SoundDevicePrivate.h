// Lets tests choose the audio output the sound players see: the system's default output,
// none at all (the machine without a sound card), or a virtual output that takes the
// samples in real time and sounds nothing. Not for programs: nothing in the kits sets it.
#ifndef _SOUND_DEVICE_PRIVATE_H
#define _SOUND_DEVICE_PRIVATE_H

namespace BPrivate {

enum class SoundDevice { kSystem, kNone, kVirtual };

// Applies to players made afterwards.
void set_sound_device(SoundDevice device);
SoundDevice sound_device();

} // namespace BPrivate

#endif // _SOUND_DEVICE_PRIVATE_H
