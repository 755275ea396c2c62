#include "framework/audio.h"

#include "framework/data.h"

gxtkAudio* orv_audio_device = nullptr;

void orvInitAudio() { orv_audio_device = nullptr; }

void orvMarkAudioRoots() { gc_mark_q(orv_audio_device); }

// Every function does nothing while there is no device yet (before the app
// has started): a sound call made too early is lost, not a crash.

int orv_audio_SetAudioDevice(gxtkAudio* device) {
    gc_assign(orv_audio_device, device);
    return 0;
}

c_Sound* orv_audio_LoadSound(String path) {
    if (!orv_audio_device) return nullptr;
    gxtkSample* sample = orv_audio_device->LoadSample(orv_data_FixDataPath(path));
    if (!sample) return nullptr;
    return (new c_Sound())->m_new(sample);
}

int orv_audio_PlaySound(c_Sound* sound, int channel, int flags) {
    if (orv_audio_device && sound && sound->m_Sample) orv_audio_device->PlaySample(sound->m_Sample, channel, flags);
    return 0;
}

int orv_audio_StopChannel(int channel) {
    if (orv_audio_device) orv_audio_device->StopChannel(channel);
    return 0;
}

int orv_audio_SetChannelVolume(int channel, float volume) {
    if (orv_audio_device) orv_audio_device->SetVolume(channel, volume);
    return 0;
}

int orv_audio_SetChannelPan(int channel, float pan) {
    if (orv_audio_device) orv_audio_device->SetPan(channel, pan);
    return 0;
}

int orv_audio_SetChannelRate(int channel, float rate) {
    if (orv_audio_device) orv_audio_device->SetRate(channel, rate);
    return 0;
}

int orv_audio_PlayMusic(String path, int flags) {
    if (!orv_audio_device) return -1;
    return orv_audio_device->PlayMusic(orv_data_FixDataPath(path), flags);
}

int orv_audio_StopMusic() {
    if (orv_audio_device) orv_audio_device->StopMusic();
    return 0;
}

int orv_audio_PauseMusic() {
    if (orv_audio_device) orv_audio_device->PauseMusic();
    return 0;
}

int orv_audio_ResumeMusic() {
    if (orv_audio_device) orv_audio_device->ResumeMusic();
    return 0;
}
