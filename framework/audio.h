// The sound functions of the framework: sounds loaded from the data folder
// and played on the audio device's channels 0-31, and the music, which the
// device plays on its channel 32.
#pragma once
#include "host/audio_device.h"
#include "runtime/object.h"

// The device's channels: the game's effects rotate over the first ones, and
// the music's voices count down from the stream's channel, the last.
enum : int {
    AUDIO_EFFECT_CHANNELS = 24,  // 0-23
    AUDIO_STREAM_CHANNEL = gxtkAudio::kMusicChannel,
    AUDIO_CHANNELS = gxtkAudio::kChannels
};

class c_Sound : public Object {
public:
    c_Sound* m_new() { return this; }
    c_Sound* m_new(gxtkSample* sample) {
        gc_assign(m_Sample, sample);
        return this;
    }
    void mark() override { gc_mark_q(m_Sample); }
    // Gives the sample's buffer back now (once no channel plays it) rather
    // than when the collector gets to it.
    int p_Discard() {
        if (m_Sample) m_Sample->Discard();  // played again, it is silent
        return 0;
    }

    gxtkSample* m_Sample = nullptr;
};

extern gxtkAudio* orv_audio_device;

int orv_audio_SetAudioDevice(gxtkAudio* device);
c_Sound* orv_audio_LoadSound(String path);
int orv_audio_PlaySound(c_Sound* sound, int channel, int flags);
int orv_audio_StopChannel(int channel);
int orv_audio_SetChannelVolume(int channel, float volume);
int orv_audio_SetChannelPan(int channel, float pan);
int orv_audio_SetChannelRate(int channel, float rate);
int orv_audio_PlayMusic(String path, int flags);
int orv_audio_StopMusic();
int orv_audio_PauseMusic();
int orv_audio_ResumeMusic();

void orvInitAudio();
void orvMarkAudioRoots();
