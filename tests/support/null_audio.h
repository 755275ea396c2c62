// An audio device for game tests: it opens no output and keeps, as data,
// every operation the game asks of it. Only the outermost operation is kept
// (music started with PlayMusic is one call, not also a stop, a load and a
// play), so the calls read as the game made them. Files are still decoded:
// a missing or damaged sound loads as null here as it would for real.
#pragma once
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "host/audio_device.h"

// A sample that knows the file it came from.
class NamedSample : public gxtkSample {
public:
    explicit NamedSample(const String& path) : path(path.ToUtf8()) {}
    std::string path;
};

class NullAudio : public gxtkAudio {
public:
    struct Call {
        std::string op;      // the operation's name: "PlaySample", "SetVolume", "PlayMusic"...
        int channel = -1;    // -1 for operations without one
        std::string sample = "";  // the file loaded, played or started as music; "" for none
        float value = 0;     // volume, pan or rate
        int flags = 0;
        int result = 0;      // what the operation returned; for loads 1 if a sample came back

        bool operator==(const Call& o) const {
            return std::tie(op, channel, sample, value, flags, result) ==
                   std::tie(o.op, o.channel, o.sample, o.value, o.flags, o.result);
        }
        friend std::ostream& operator<<(std::ostream& out, const Call& c) {
            return out << c.op << "(channel " << c.channel << ", \"" << c.sample << "\", " << c.value << ", flags "
                       << c.flags << ") = " << c.result;
        }
    };

    NullAudio() : gxtkAudio(NoOutput{}) {}

    std::vector<Call> calls;

    int Suspend() override { return Keep({"Suspend"}, [&] { return gxtkAudio::Suspend(); }); }
    int Resume() override { return Keep({"Resume"}, [&] { return gxtkAudio::Resume(); }); }
    gxtkSample* LoadSample(String path) override {
        gxtkSample* sample = nullptr;
        Keep({"LoadSample", -1, path.ToUtf8()}, [&] {
            FlushDiscarded();
            sample = LoadSample__UNSAFE__(new NamedSample(path), path);
            return sample ? 1 : 0;
        });
        return sample;
    }
    int PlaySample(gxtkSample* sample, int channel, int flags) override {
        return Keep({"PlaySample", channel, NameOf(sample), 0, flags},
                    [&] { return gxtkAudio::PlaySample(sample, channel, flags); });
    }
    int StopChannel(int channel) override {
        return Keep({"StopChannel", channel}, [&] { return gxtkAudio::StopChannel(channel); });
    }
    int SetVolume(int channel, float volume) override {
        return Keep({"SetVolume", channel, "", volume}, [&] { return gxtkAudio::SetVolume(channel, volume); });
    }
    int SetPan(int channel, float pan) override {
        return Keep({"SetPan", channel, "", pan}, [&] { return gxtkAudio::SetPan(channel, pan); });
    }
    int SetRate(int channel, float rate) override {
        return Keep({"SetRate", channel, "", rate}, [&] { return gxtkAudio::SetRate(channel, rate); });
    }
    int PlayMusic(String path, int flags) override {
        return Keep({"PlayMusic", kMusicChannel, path.ToUtf8(), 0, flags},
                    [&] { return gxtkAudio::PlayMusic(path, flags); });
    }
    int StopMusic() override { return Keep({"StopMusic", kMusicChannel}, [&] { return gxtkAudio::StopMusic(); }); }
    int PauseMusic() override { return Keep({"PauseMusic", kMusicChannel}, [&] { return gxtkAudio::PauseMusic(); }); }
    int ResumeMusic() override {
        return Keep({"ResumeMusic", kMusicChannel}, [&] { return gxtkAudio::ResumeMusic(); });
    }

private:
    static std::string NameOf(gxtkSample* sample) {
        auto* named = dynamic_cast<NamedSample*>(sample);
        return named ? named->path : std::string();
    }

    template <class Body>
    int Keep(Call call, Body body) {
        const bool outermost = depth_ == 0;
        ++depth_;
        call.result = body();
        --depth_;
        if (outermost) calls.push_back(call);
        return call.result;
    }

    int depth_ = 0;
};
