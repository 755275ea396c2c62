// The only file that talks to OpenAL.
#include "host/audio_device.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "host/files.h"
#include "runtime/diagnostics.h"

std::vector<unsigned int> gxtkAudio::discarded;

struct gxtkAudio::Alc {
    ALCdevice* alcDevice = nullptr;
    ALCcontext* alcContext = nullptr;
    bool current = false;  // the context was made current: AL calls reach it
    // Stops the mixer while the app is suspended, where OpenAL offers it.
    LPALCDEVICEPAUSESOFT pauseDevice = nullptr;
    LPALCDEVICERESUMESOFT resumeDevice = nullptr;
    bool paused = false;
};

namespace {

// A source that cannot be asked (no context, never generated) sounds no
// more than a stopped one, and is treated as one.
ALint SourceState(ALuint source) {
    ALint state = AL_STOPPED;
    if (source) alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

ALenum FormatFor(int channels, int bytes) {
    if (channels == 1 && bytes == 1) return AL_FORMAT_MONO8;
    if (channels == 2 && bytes == 1) return AL_FORMAT_STEREO8;
    if (channels == 1 && bytes == 2) return AL_FORMAT_MONO16;
    if (channels == 2 && bytes == 2) return AL_FORMAT_STEREO16;
    return 0;
}

void DiscardBuffer(unsigned int* buffer) {
    if (!*buffer) return;
    gxtkAudio::discarded.push_back(*buffer);
    *buffer = 0;
}

// Devices still open. Every way out of the program ends in exit(), and a
// device left open then leaves its output unfinished (a capture file without
// its sizes) and OpenAL complaining; the list outlives every other static.
std::vector<gxtkAudio*>& OpenDevices() {
    static auto* devices = new std::vector<gxtkAudio*>();
    return *devices;
}

void CloseOpenDevices() {
    std::vector<gxtkAudio*>& devices = OpenDevices();
    while (!devices.empty()) devices.back()->Close();
}

}  // namespace

// ---- samples

gxtkSample::~gxtkSample() { DiscardBuffer(&buffer); }

int gxtkSample::Discard() {
    DiscardBuffer(&buffer);
    return 0;
}

unsigned int gxtkChannel::AL_Source() {
    if (!source) alGenSources(1, &source);
    return source;
}

// ---- device

gxtkAudio::gxtkAudio() : alc(new Alc()) {
    alc->alcDevice = alcOpenDevice(nullptr);
    if (!alc->alcDevice) {
        orvPrint(String("OpenAl error: alcOpenDevice failed"));
    } else {
        static const bool hooked = std::atexit(CloseOpenDevices) == 0;
        (void)hooked;
        OpenDevices().push_back(this);
        alc->alcContext = alcCreateContext(alc->alcDevice, nullptr);
        if (!alc->alcContext) {
            orvPrint(String("OpenAl error: alcCreateContext failed"));
        } else if (!alcMakeContextCurrent(alc->alcContext)) {
            orvPrint(String("OpenAl error: alcMakeContextCurrent failed"));
        } else {
            alc->current = true;
        }
        if (alcIsExtensionPresent(alc->alcDevice, "ALC_SOFT_pause_device")) {
            alc->pauseDevice =
                reinterpret_cast<LPALCDEVICEPAUSESOFT>(alcGetProcAddress(alc->alcDevice, "alcDevicePauseSOFT"));
            alc->resumeDevice =
                reinterpret_cast<LPALCDEVICERESUMESOFT>(alcGetProcAddress(alc->alcDevice, "alcDeviceResumeSOFT"));
        }
    }
    // Positions only give a direction: nothing fades with distance.
    if (alc->current) alDistanceModel(AL_NONE);
}

gxtkAudio::gxtkAudio(NoOutput) {}

gxtkAudio::~gxtkAudio() { Close(); }

bool gxtkAudio::HasOutput() const { return alc && alc->current; }

bool gxtkAudio::OutputPaused() const { return alc && alc->paused; }

unsigned int gxtkAudio::SourceOf(gxtkChannel& channel) { return HasOutput() ? channel.AL_Source() : 0; }

void gxtkAudio::Close() {
    if (!alc) return;
    const bool had_device = alc->alcDevice != nullptr;
    if (alc->alcContext) {
        if (alcGetCurrentContext() == alc->alcContext) alcMakeContextCurrent(nullptr);
        alcDestroyContext(alc->alcContext);
    }
    if (alc->alcDevice) alcCloseDevice(alc->alcDevice);
    alc.reset(new Alc());
    for (gxtkChannel& c : channels) c = gxtkChannel();
    std::vector<gxtkAudio*>& devices = OpenDevices();
    devices.erase(std::remove(devices.begin(), devices.end(), this), devices.end());
    // The names belonged to the closed device.
    if (had_device) discarded.clear();
}

void gxtkAudio::mark() {
    // A sound still sounding keeps its sample alive even when the game has
    // dropped it.
    for (gxtkChannel& c : channels) {
        if (c.state != gxtkChannel::Stopped && c.sample && SourceState(c.source) != AL_STOPPED) gc_mark_q(c.sample);
    }
    gc_mark_q(music_);
}

namespace {

gxtkChannel* ChannelAt(gxtkChannel* channels, int channel) {
    // Callers keep channels in range; one out of range is ignored rather
    // than written past the records.
    if (channel < 0 || channel >= gxtkAudio::kChannels) return nullptr;
    return &channels[channel];
}

}  // namespace

void gxtkAudio::FlushDiscarded() {
    // The names are those of a device with output; one without has none to
    // give back.
    if (discarded.empty() || !HasOutput()) return;
    // Finished sources still hold their buffers; let them go.
    for (gxtkChannel& c : channels) {
        if (c.state != gxtkChannel::Stopped && c.source && SourceState(c.source) == AL_STOPPED) {
            alSourcei(c.source, AL_BUFFER, 0);
        }
    }
    std::size_t kept = 0;
    for (unsigned int name : discarded) {
        // An error left over from an earlier call must not be taken for this
        // one: a name kept by mistake may later belong to a new sample and be
        // deleted under it. A name that is no buffer at all is dropped.
        alGetError();
        alDeleteBuffers(1, &name);
        if (alGetError() != AL_NO_ERROR && alIsBuffer(name)) discarded[kept++] = name;
    }
    discarded.resize(kept);
}

int gxtkAudio::Suspend() {
    for (gxtkChannel& c : channels) {
        if (c.state == gxtkChannel::Playing && SourceState(c.source) == AL_PLAYING) alSourcePause(c.source);
    }
    // With every source paused the mixer would still run, mixing silence:
    // the only work a suspended game would do. Stop the output as well.
    if (alc && alc->pauseDevice && alc->resumeDevice && !alc->paused) {
        alc->pauseDevice(alc->alcDevice);
        alc->paused = true;
    }
    return 0;
}

int gxtkAudio::Resume() {
    if (alc && alc->paused) {
        alc->resumeDevice(alc->alcDevice);
        alc->paused = false;
    }
    for (gxtkChannel& c : channels) {
        if (c.state == gxtkChannel::Playing && SourceState(c.source) == AL_PAUSED) alSourcePlay(c.source);
    }
    return 0;
}

gxtkSample* gxtkAudio::LoadSample(String path) {
    FlushDiscarded();
    return LoadSample__UNSAFE__(new gxtkSample(), path);
}

gxtkSample* gxtkAudio::LoadSample__UNSAFE__(gxtkSample* sample, String path) {
    int length = 0, channelCount = 0, bytes = 0, hertz = 0;
    unsigned char* data = orvLoadAudioFile(path, &length, &channelCount, &bytes, &hertz);
    if (!data) return nullptr;
    // A layout OpenAL cannot take (24-bit, more than two channels) is a
    // sound that cannot be loaded, not a sample that plays nothing.
    const ALenum format = FormatFor(channelCount, bytes);
    const long long size = static_cast<long long>(bytes) * channelCount * length;
    if (!format || length < 0 || size > INT_MAX || hertz <= 0) {
        std::free(data);
        return nullptr;
    }
    // Without output there is no buffer: the sample then plays silently,
    // like everything else.
    ALuint buffer = 0;
    if (HasOutput()) {
        alGetError();
        alGenBuffers(1, &buffer);
        alBufferData(buffer, format, data, static_cast<ALsizei>(size), hertz);
    }
    std::free(data);
    if (buffer && alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        return nullptr;
    }
    sample->Discard();  // a buffer it had before would otherwise be lost
    sample->SetBuffer(buffer);
    return sample;
}

int gxtkAudio::PlaySample(gxtkSample* sample, int channel, int flags) {
    gxtkChannel* c = ChannelAt(channels, channel);
    if (!c) return 0;
    FlushDiscarded();
    if (const ALuint source = SourceOf(*c)) {
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, static_cast<ALint>(sample ? sample->buffer : 0));
        alSourcei(source, AL_LOOPING, flags ? AL_TRUE : AL_FALSE);
        alSourcePlay(source);
    }
    // Through the write barrier: the device may already have been marked in
    // this collector cycle.
    gc_assign(c->sample, sample);
    c->state = gxtkChannel::Playing;
    c->flags = flags;
    return 0;
}

int gxtkAudio::StopChannel(int channel) {
    gxtkChannel* c = ChannelAt(channels, channel);
    if (!c || c->state == gxtkChannel::Stopped) return 0;
    if (c->source) alSourceStop(c->source);
    c->state = gxtkChannel::Stopped;
    return 0;
}

int gxtkAudio::PauseChannel(int channel) {
    gxtkChannel* c = ChannelAt(channels, channel);
    if (!c || c->state != gxtkChannel::Playing) return 0;
    if (SourceState(c->source) == AL_STOPPED) {
        c->state = gxtkChannel::Stopped;
    } else {
        alSourcePause(c->source);
        c->state = gxtkChannel::Paused;
    }
    return 0;
}

int gxtkAudio::ResumeChannel(int channel) {
    gxtkChannel* c = ChannelAt(channels, channel);
    if (!c || c->state != gxtkChannel::Paused) return 0;
    if (c->source) alSourcePlay(c->source);
    c->state = gxtkChannel::Playing;
    return 0;
}

int gxtkAudio::ChannelState(int channel) {
    gxtkChannel* c = ChannelAt(channels, channel);
    if (!c) return 0;
    if (c->state == gxtkChannel::Playing && SourceState(c->source) == AL_STOPPED) c->state = gxtkChannel::Stopped;
    return c->state;
}

int gxtkAudio::SetVolume(int channel, float volume) {
    gxtkChannel* c = ChannelAt(channels, channel);
    if (const ALuint source = c ? SourceOf(*c) : 0) alSourcef(source, AL_GAIN, volume);
    return 0;
}

int gxtkAudio::SetPan(int channel, float pan) {
    gxtkChannel* c = ChannelAt(channels, channel);
    if (const ALuint source = c ? SourceOf(*c) : 0) {
        alSource3f(source, AL_POSITION, std::sin(pan), 0.0f, -std::cos(pan));
    }
    return 0;
}

int gxtkAudio::SetRate(int channel, float rate) {
    gxtkChannel* c = ChannelAt(channels, channel);
    if (const ALuint source = c ? SourceOf(*c) : 0) alSourcef(source, AL_PITCH, rate);
    return 0;
}

int gxtkAudio::PlayMusic(String path, int flags) {
    StopMusic();
    const std::string stamp = orvFileStamp(path);
    // A discarded buffer (with output there) is no tune to play again.
    if (music_ && !stamp.empty() && path == musicPath_ && stamp == musicStamp_ && (music_->buffer || !HasOutput())) {
        PlaySample(music_, kMusicChannel, flags);
        return 0;
    }
    if (music_) {
        // Off the source first: a buffer a source holds cannot be deleted.
        gxtkChannel& c = channels[kMusicChannel];
        if (c.source && HasOutput()) alSourcei(c.source, AL_BUFFER, 0);
        music_->Discard();
        music_ = nullptr;
    }
    musicPath_ = String();
    musicStamp_.clear();
    gxtkSample* sample = LoadSample(path);
    if (!sample) return -1;
    gc_assign(music_, sample);
    musicPath_ = path;
    musicStamp_ = stamp;
    PlaySample(sample, kMusicChannel, flags);
    return 0;
}

int gxtkAudio::StopMusic() { return StopChannel(kMusicChannel); }

int gxtkAudio::PauseMusic() { return PauseChannel(kMusicChannel); }

int gxtkAudio::ResumeMusic() { return ResumeChannel(kMusicChannel); }

int gxtkAudio::MusicState() { return ChannelState(kMusicChannel); }

int gxtkAudio::SetMusicVolume(float volume) { return SetVolume(kMusicChannel, volume); }

gxtkAudio::SourceInfo gxtkAudio::Inspect(int channel) {
    SourceInfo info;
    gxtkChannel* c = ChannelAt(channels, channel);
    if (!c || !c->source || !HasOutput() || !alIsSource(c->source)) return info;
    info.source = c->source;
    ALint value = 0;
    alGetSourcei(c->source, AL_BUFFER, &value);
    info.buffer = static_cast<unsigned int>(value);
    alGetSourcei(c->source, AL_SOURCE_STATE, &value);
    info.alState = value == AL_INITIAL   ? SourceInfo::Initial
                   : value == AL_PLAYING ? SourceInfo::Playing
                   : value == AL_PAUSED  ? SourceInfo::Paused
                                         : SourceInfo::Stopped;
    alGetSourcei(c->source, AL_LOOPING, &info.looping);
    alGetSourcei(c->source, AL_SAMPLE_OFFSET, &info.sampleOffset);
    alGetSourcef(c->source, AL_GAIN, &info.gain);
    alGetSourcef(c->source, AL_PITCH, &info.pitch);
    alGetSource3f(c->source, AL_POSITION, &info.position[0], &info.position[1], &info.position[2]);
    return info;
}

bool gxtkAudio::BufferExists(unsigned int buffer) { return buffer && alIsBuffer(buffer); }

gxtkAudio::BufferInfo gxtkAudio::InspectBuffer(unsigned int buffer) {
    BufferInfo info;
    if (!BufferExists(buffer)) return info;
    alGetBufferi(buffer, AL_FREQUENCY, &info.frequency);
    alGetBufferi(buffer, AL_BITS, &info.bits);
    alGetBufferi(buffer, AL_CHANNELS, &info.channels);
    alGetBufferi(buffer, AL_SIZE, &info.size);
    return info;
}
