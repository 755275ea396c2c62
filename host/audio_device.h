// The sound device: whole decoded sounds (one OpenAL buffer each) played on
// 33 fixed sources, channels 0-31 for effects and 32 for music. Buffers of
// samples nobody wants any more are deleted lazily, once no source uses them.
// Music is streamed: a thread of the device decodes it a few tenths of a
// second ahead into a short queue of buffers, so a long update never starves
// it; every OpenAL call of the device holds one lock.
// OpenAL stays behind this header: the device's handles live in the .cpp.
#pragma once
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "runtime/object.h"

struct MusicTune;   // a tune decoded while it plays (the .cpp has it)
class DeviceLock;   // the lock of every OpenAL call (the .cpp has it)

class gxtkSample : public Object {
public:
    gxtkSample() = default;
    explicit gxtkSample(unsigned int buffer) : buffer(buffer) {}
    ~gxtkSample() override;

    void SetBuffer(unsigned int b) { buffer = b; }
    // Hands the buffer over for deletion; the sample then plays nothing.
    virtual int Discard();

    unsigned int buffer = 0;  // OpenAL buffer name, 0 for none
};

// One channel; not a collected object, it lives inside the device.
struct gxtkChannel {
    enum : int { Stopped = 0, Playing = 1, Paused = 2 };

    unsigned int source = 0;  // generated on first use, then kept
    gxtkSample* sample = nullptr;
    int flags = 0;
    int state = Stopped;

    unsigned int AL_Source();
};

class gxtkAudio : public Object {
public:
    enum : int { kChannels = 33, kMusicChannel = 32 };

    // Opens the default output device. A device still open when the process
    // exits is closed then, so its output is complete.
    gxtkAudio();
    // A device that opens nothing: every operation is accepted and changes
    // only the channel records; files are still decoded (a missing or damaged
    // one still gives null), but samples hold no buffer and nothing sounds,
    // so a sound counts as ended as soon as it is asked about. For tests
    // that look at what the game asks of the device.
    struct NoOutput {};
    explicit gxtkAudio(NoOutput);
    ~gxtkAudio() override;
    void mark() override;

    virtual int Suspend();
    virtual int Resume();
    virtual gxtkSample* LoadSample__UNSAFE__(gxtkSample* sample, String path);
    virtual gxtkSample* LoadSample(String path);
    virtual int PlaySample(gxtkSample* sample, int channel, int flags);
    virtual int StopChannel(int channel);
    virtual int PauseChannel(int channel);
    virtual int ResumeChannel(int channel);
    virtual int ChannelState(int channel);
    virtual int SetVolume(int channel, float volume);
    virtual int SetPan(int channel, float pan);
    virtual int SetRate(int channel, float rate);
    virtual int PlayMusic(String path, int flags);
    virtual int StopMusic();
    virtual int PauseMusic();
    virtual int ResumeMusic();
    virtual int MusicState();
    virtual int SetMusicVolume(float volume);

    // Deletes the discarded buffers that no source holds any more.
    void FlushDiscarded();
    // Releases the context and the output device (the WAV writer of the test
    // backend completes its file only then). Later calls are harmless.
    void Close();
    // Whether sound goes anywhere: a context was made current and is open.
    bool HasOutput() const;
    // Whether the output itself is stopped while the app is suspended (only
    // where OpenAL can pause a device).
    bool OutputPaused() const;

    // What OpenAL says about a channel's source, for tests and tools.
    struct SourceInfo {
        enum : int { None, Initial, Playing, Paused, Stopped };
        unsigned int source = 0;
        unsigned int buffer = 0;
        int alState = None;
        int looping = 0;
        int sampleOffset = 0;
        float gain = 0, pitch = 0;
        float position[3] = {0, 0, 0};
    };
    SourceInfo Inspect(int channel);
    struct BufferInfo {
        int frequency = 0, bits = 0, channels = 0, size = 0;
    };
    static BufferInfo InspectBuffer(unsigned int buffer);
    static bool BufferExists(unsigned int buffer);

    gxtkChannel channels[kChannels];

    // Buffer names still to be deleted, of every sample discarded or
    // destroyed, in order.
    static std::vector<unsigned int> discarded;

    // Whether a thread of the device keeps the music's queue full (as it
    // must be set before the first music plays). A platform without threads
    // clears it and calls PumpMusic every frame instead.
    static bool musicThread;
    static void PumpMusic();

    // Test seam: while set, the music thread tops up no queue, as on a
    // machine too busy to run it, and a playing stream runs dry.
    static std::atomic<bool> starveMusic;

private:
    // The OpenAL device and context, and what the device can do.
    struct Alc;
    // The channel's source, generated on first use; 0 without output.
    unsigned int SourceOf(gxtkChannel& channel);

    std::unique_ptr<Alc> alc;  // null for a device that opens nothing
    // The music of channel 32, decoded while it plays.
    struct Music;
    std::shared_ptr<Music> music_;
    void CloseOutput();
    void EndMusicStream();
    bool MusicStreamPlaying() const;  // a tune is being played out (with output only)
    void ReclaimMusicBuffers();
    void QueueMusic(const std::vector<short>& piece, const MusicTune& tune);
    void StartMusicSource();
    void MusicThread(std::shared_ptr<Music> music);
    // Called with the device's lock held (the lock is let go while decoding).
    void RefillMusic(std::unique_lock<DeviceLock>& lock, const std::shared_ptr<Music>& music);
};
