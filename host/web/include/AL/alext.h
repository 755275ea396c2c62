/* The two extensions the sound device asks for, which the browser's OpenAL
   headers lack. The device looks each one up before it uses it, and the
   browser's OpenAL has neither, so these only let the device compile. */
#pragma once
#include <AL/al.h>
#include <AL/alc.h>

#define AL_DIRECT_CHANNELS_SOFT 0x1033
typedef void (*LPALCDEVICEPAUSESOFT)(ALCdevice* device);
typedef void (*LPALCDEVICERESUMESOFT)(ALCdevice* device);
