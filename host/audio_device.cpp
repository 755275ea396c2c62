// The only file that talks to OpenAL.
#include "host/audio_device.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "host/sound_files.h"
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

// Held by every OpenAL call of the devices: the main thread's and the music
// thread's never interleave. Recursive, as operations call one another. Each
// thread knows whether it holds it: one that does must never wait for the
// music thread, which may itself be waiting for the lock.
class DeviceLock {
public:
    void lock() {
        mutex_->lock();
        ++depth_;
    }
    void unlock() {
        --depth_;
        mutex_->unlock();
    }
    static bool HeldHere() { return depth_ > 0; }

private:
    std::recursive_mutex* mutex_ = new std::recursive_mutex();  // never destroyed: threads may outlive statics
    static thread_local int depth_;
};
thread_local int DeviceLock::depth_ = 0;

namespace {

DeviceLock& AlLock() {
    static DeviceLock lock;
    return lock;
}
using Guard = std::lock_guard<DeviceLock>;

// The music queue: four pieces of 4096 sample frames, 0.37 s at 44.1 kHz,
// topped up every 20 ms.
constexpr int kMusicBuffers = 4;
constexpr int kMusicPiece = 4096;
constexpr auto kMusicRefill = std::chrono::milliseconds(20);

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

// The tune being decoded. One thread at a time uses it: the main thread
// until PlayMusic hands it over, then the music thread, which decodes
// without holding the lock; a tune replaced meanwhile is let go by whoever
// holds it last.
struct MusicTune {
    OrvOggStream stream;
    bool loop = false;
    bool rewound = false;  // started again and nothing read since
    bool ended = false;    // its end (not looping) or damage reached

    // The next piece of at most `frames` frames into `out`: from the start
    // again at the end of a looping tune, so the loop has no seam.
    int Decode(std::vector<short>& out, int frames) {
        out.resize(static_cast<std::size_t>(frames * stream.Channels()));
        int done = 0;
        while (done < frames && !ended) {
            const int got = stream.Read(out.data() + done * stream.Channels(), frames - done);
            if (got > 0) {
                done += got;
                rewound = false;
            } else if (got < 0 || !loop || rewound || !stream.Rewind()) {
                ended = true;  // (a looping tune that holds no sound at all ends too)
            } else {
                rewound = true;
            }
        }
        out.resize(static_cast<std::size_t>(done * stream.Channels()));
        return done;
    }
};

// Shared by the device and its music thread: a thread that could not be
// waited for ends on its own later, when the device may be gone.
struct gxtkAudio::Music {
    std::shared_ptr<MusicTune> tune;  // the one streaming on channel 32, or null
    bool ended = false;      // its last piece is queued
    bool suspended = false;  // the app is suspended: a source that ran dry waits
    ALuint buffers[kMusicBuffers] = {};
    std::vector<ALuint> unqueued;  // buffers not queued
    std::thread thread;
    std::condition_variable_any wake;
    bool quit = false;  // the device is closed: the thread touches nothing of it any more
};

std::atomic<bool> gxtkAudio::starveMusic{false};

// ---- samples

gxtkSample::~gxtkSample() { DiscardBuffer(&buffer); }

int gxtkSample::Discard() {
    DiscardBuffer(&buffer);
    return 0;
}

unsigned int gxtkChannel::AL_Source() {
    const Guard guard(AlLock());
    if (!source) alGenSources(1, &source);
    return source;
}

// ---- device

gxtkAudio::gxtkAudio() : alc(new Alc()), music_(std::make_shared<Music>()) {
    const Guard guard(AlLock());
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

gxtkAudio::gxtkAudio(NoOutput) : music_(std::make_shared<Music>()) {}

gxtkAudio::~gxtkAudio() { Close(); }

bool gxtkAudio::HasOutput() const { return alc && alc->current; }

bool gxtkAudio::OutputPaused() const { return alc && alc->paused; }

unsigned int gxtkAudio::SourceOf(gxtkChannel& channel) { return HasOutput() ? channel.AL_Source() : 0; }

void gxtkAudio::Close() {
    std::thread thread;
    {
        const Guard guard(AlLock());
        music_->quit = true;
        thread.swap(music_->thread);
        CloseOutput();
    }
    if (!thread.joinable()) return;
    music_->wake.notify_all();
    // The music thread may be waiting for the lock: a caller inside another
    // sound call (the collector destroys a device in an allocation) leaves
    // it to end by itself once the lock is free.
    if (AlLock().HeldHere() || thread.get_id() == std::this_thread::get_id()) {
        thread.detach();
    } else {
        thread.join();
    }
}

void gxtkAudio::CloseOutput() {
    EndMusicStream();
    if (!alc) return;
    const bool had_device = alc->alcDevice != nullptr;
    if (HasOutput() && music_->buffers[0]) alDeleteBuffers(kMusicBuffers, music_->buffers);
    for (ALuint& b : music_->buffers) b = 0;
    music_->unqueued.clear();
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
    const Guard guard(AlLock());
    // A sound still sounding keeps its sample alive even when the game has
    // dropped it.
    for (gxtkChannel& c : channels) {
        if (c.state != gxtkChannel::Stopped && c.sample && SourceState(c.source) != AL_STOPPED) gc_mark_q(c.sample);
    }
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
    const Guard guard(AlLock());
    // The names are those of a device with output; one without has none to
    // give back.
    if (discarded.empty() || !HasOutput()) return;
    // Finished sources still hold their buffers; let them go. (The music's
    // queue is its own, and a stream that ran dry for a moment goes on.)
    for (int i = 0; i < kChannels; ++i) {
        gxtkChannel& c = channels[i];
        if (i == kMusicChannel && music_->tune) continue;
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
    const Guard guard(AlLock());
    music_->suspended = true;
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
    const Guard guard(AlLock());
    music_->suspended = false;
    if (alc && alc->paused) {
        alc->resumeDevice(alc->alcDevice);
        alc->paused = false;
    }
    for (gxtkChannel& c : channels) {
        if (c.state == gxtkChannel::Playing && SourceState(c.source) == AL_PAUSED) alSourcePlay(c.source);
    }
    music_->wake.notify_all();
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
    const Guard guard(AlLock());
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
    const Guard guard(AlLock());
    FlushDiscarded();
    if (channel == kMusicChannel) EndMusicStream();
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
    if (!c) return 0;
    const Guard guard(AlLock());
    // A tune that has ended by itself still holds the stream's buffers.
    if (channel == kMusicChannel) EndMusicStream();
    if (c->state == gxtkChannel::Stopped) return 0;
    if (c->source) alSourceStop(c->source);
    c->state = gxtkChannel::Stopped;
    return 0;
}

int gxtkAudio::PauseChannel(int channel) {
    gxtkChannel* c = ChannelAt(channels, channel);
    if (!c || c->state != gxtkChannel::Playing) return 0;
    const Guard guard(AlLock());
    const bool running_dry = channel == kMusicChannel && MusicStreamPlaying();
    if (SourceState(c->source) == AL_STOPPED && !running_dry) {
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
    const Guard guard(AlLock());
    c->state = gxtkChannel::Playing;
    if (channel == kMusicChannel && MusicStreamPlaying()) {
        // Played as it is, a source that ran dry would start again from the
        // head of its queue: pieces already heard.
        ReclaimMusicBuffers();
        StartMusicSource();
        music_->wake.notify_all();
    } else if (c->source) {
        alSourcePlay(c->source);
    }
    return 0;
}

int gxtkAudio::ChannelState(int channel) {
    gxtkChannel* c = ChannelAt(channels, channel);
    if (!c) return 0;
    const Guard guard(AlLock());
    // A stream's source that ran dry for a moment is still playing the tune.
    const bool running_dry = channel == kMusicChannel && MusicStreamPlaying();
    if (c->state == gxtkChannel::Playing && SourceState(c->source) == AL_STOPPED && !running_dry) {
        c->state = gxtkChannel::Stopped;
    }
    return c->state;
}

int gxtkAudio::SetVolume(int channel, float volume) {
    gxtkChannel* c = ChannelAt(channels, channel);
    const Guard guard(AlLock());
    if (const ALuint source = c ? SourceOf(*c) : 0) alSourcef(source, AL_GAIN, volume);
    return 0;
}

int gxtkAudio::SetPan(int channel, float pan) {
    gxtkChannel* c = ChannelAt(channels, channel);
    const Guard guard(AlLock());
    if (const ALuint source = c ? SourceOf(*c) : 0) {
        alSource3f(source, AL_POSITION, std::sin(pan), 0.0f, -std::cos(pan));
    }
    return 0;
}

int gxtkAudio::SetRate(int channel, float rate) {
    gxtkChannel* c = ChannelAt(channels, channel);
    const Guard guard(AlLock());
    if (const ALuint source = c ? SourceOf(*c) : 0) alSourcef(source, AL_PITCH, rate);
    return 0;
}

// ---- streamed music

int gxtkAudio::PlayMusic(String path, int flags) {
    const Guard guard(AlLock());
    StopMusic();
    Music& m = *music_;
    auto tune = std::make_shared<MusicTune>();
    if (!tune->stream.Open(path)) {
        // Not an Ogg Vorbis stream: a sound of another kind is played whole;
        // a missing or damaged file fails here as well.
        gxtkSample* sample = LoadSample(path);
        if (!sample) return -1;
        PlaySample(sample, kMusicChannel, flags);
        return 0;
    }
    tune->loop = flags != 0;
    gxtkChannel& c = channels[kMusicChannel];
    gc_assign(c.sample, static_cast<gxtkSample*>(nullptr));
    c.state = gxtkChannel::Playing;
    c.flags = flags;
    m.ended = false;
    if (!HasOutput()) {
        m.tune = tune;
        return 0;
    }
    const ALuint source = SourceOf(c);
    if (!m.buffers[0]) {
        alGenBuffers(kMusicBuffers, m.buffers);
        m.unqueued.assign(m.buffers, m.buffers + kMusicBuffers);
    }
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    alSourceRewind(source);  // see ReclaimMusicBuffers
    alSourcei(source, AL_LOOPING, AL_FALSE);
    // A stereo tune goes to the speakers as it is, not placed in space.
    if (alIsExtensionPresent("AL_SOFT_direct_channels")) alSourcei(source, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    // A short first piece starts the tune with this call; the thread decodes
    // the rest (a whole queue decoded here would hold up the update).
    std::vector<short> piece;
    if (tune->Decode(piece, kMusicPiece / 2) > 0) QueueMusic(piece, *tune);
    m.tune = tune;
    m.ended = tune->ended;
    StartMusicSource();
    if (musicThread && !m.thread.joinable()) m.thread = std::thread(&gxtkAudio::MusicThread, this, music_);
    m.wake.notify_all();
    return 0;
}

bool gxtkAudio::MusicStreamPlaying() const { return HasOutput() && music_->tune && !music_->ended; }

void gxtkAudio::EndMusicStream() {
    Music& m = *music_;
    if (!m.tune) return;
    m.tune.reset();
    const ALuint source = channels[kMusicChannel].source;
    if (!HasOutput() || !source) return;
    // Stopped and emptied, the source holds none of the stream's buffers.
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    m.unqueued.assign(m.buffers, m.buffers + kMusicBuffers);
}

// The rest are called with the lock held.

// Takes the played pieces off the queue. A source that ran dry has played
// all it holds; it is rewound, since a stopped source would count the pieces
// queued next as played before it ever plays them.
void gxtkAudio::ReclaimMusicBuffers() {
    const ALuint source = channels[kMusicChannel].source;
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0; --processed) {
        ALuint b = 0;
        alSourceUnqueueBuffers(source, 1, &b);
        music_->unqueued.push_back(b);
    }
    if (SourceState(source) == AL_STOPPED) alSourceRewind(source);
}

void gxtkAudio::QueueMusic(const std::vector<short>& piece, const MusicTune& tune) {
    const ALuint b = music_->unqueued.back();
    music_->unqueued.pop_back();
    const int channelCount = tune.stream.Channels();
    alBufferData(b, FormatFor(channelCount, 2), piece.data(), static_cast<ALsizei>(piece.size() * 2),
                 tune.stream.Rate());
    alSourceQueueBuffers(channels[kMusicChannel].source, 1, &b);
}

// Plays a source that has pieces but is not playing: the start, a source
// that ran dry, or the music resumed; not while the music or the app is
// paused.
void gxtkAudio::StartMusicSource() {
    const gxtkChannel& c = channels[kMusicChannel];
    ALint queued = 0;
    alGetSourcei(c.source, AL_BUFFERS_QUEUED, &queued);
    if (queued > 0 && c.state == gxtkChannel::Playing && !music_->suspended && SourceState(c.source) != AL_PLAYING) {
        alSourcePlay(c.source);
    }
}

// Keeps the queue full: the pieces are decoded without the lock, so that
// the game's sound calls never wait for the decoder; a tune stopped or
// replaced meanwhile throws them away.
void gxtkAudio::MusicThread(std::shared_ptr<Music> music) {
    Music& m = *music;
    std::unique_lock<DeviceLock> lock(AlLock());
    while (!m.quit) {
        // Asleep while nothing streams or the app is away: no work, no wake-ups.
        if (MusicStreamPlaying() && !m.suspended) {
            m.wake.wait_for(lock, kMusicRefill);
        } else {
            m.wake.wait(lock);
        }
        // Woken by its device's end, the thread may outlive the device (let go
        // by a close inside another sound call): it touches the device no more.
        if (!m.quit) RefillMusic(lock, music);
    }
}

// One piece at a time, each queued as soon as it is decoded.
void gxtkAudio::RefillMusic(std::unique_lock<DeviceLock>& lock, const std::shared_ptr<Music>& music) {
    Music& m = *music;
    if (m.quit || m.suspended || !MusicStreamPlaying() || starveMusic) return;
    ReclaimMusicBuffers();
    std::vector<short> piece;
    for (const std::shared_ptr<MusicTune> tune = m.tune; m.tune == tune && !m.unqueued.empty() && !m.ended;) {
        lock.unlock();
        if (orvOnWorkerThread) orvOnWorkerThread("music");
        const int frames = tune->Decode(piece, kMusicPiece);
        lock.lock();
        if (m.quit || m.tune != tune) break;
        if (frames > 0) QueueMusic(piece, *tune);
        m.ended = tune->ended;
        StartMusicSource();
    }
}

bool gxtkAudio::musicThread = true;

void gxtkAudio::PumpMusic() {
    std::unique_lock<DeviceLock> lock(AlLock());
    for (gxtkAudio* device : std::vector<gxtkAudio*>(OpenDevices())) device->RefillMusic(lock, device->music_);
}

int gxtkAudio::StopMusic() { return StopChannel(kMusicChannel); }

int gxtkAudio::PauseMusic() { return PauseChannel(kMusicChannel); }

int gxtkAudio::ResumeMusic() { return ResumeChannel(kMusicChannel); }

int gxtkAudio::MusicState() { return ChannelState(kMusicChannel); }

int gxtkAudio::SetMusicVolume(float volume) { return SetVolume(kMusicChannel, volume); }

gxtkAudio::SourceInfo gxtkAudio::Inspect(int channel) {
    SourceInfo info;
    gxtkChannel* c = ChannelAt(channels, channel);
    const Guard guard(AlLock());
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

bool gxtkAudio::BufferExists(unsigned int buffer) {
    const Guard guard(AlLock());
    return buffer && alIsBuffer(buffer);
}

gxtkAudio::BufferInfo gxtkAudio::InspectBuffer(unsigned int buffer) {
    BufferInfo info;
    const Guard guard(AlLock());
    if (!BufferExists(buffer)) return info;
    alGetBufferi(buffer, AL_FREQUENCY, &info.frequency);
    alGetBufferi(buffer, AL_BITS, &info.bits);
    alGetBufferi(buffer, AL_CHANNELS, &info.channels);
    alGetBufferi(buffer, AL_SIZE, &info.size);
    return info;
}
