// Sound files decoded to memory: whole, or piece by piece for the music.
#pragma once
#include <cstdio>
#include <memory>

#include "runtime/string.h"

// A whole ".wav" or ".ogg" file (by its name, any case) as interleaved
// samples: length in sample frames, format in bytes per sample. Null when
// the file is missing, of another kind or damaged, and for an Ogg stream of
// more than two channels (the audio device takes no more) or of more than
// 2^25 frames. The caller frees the block with free().
unsigned char* orvLoadAudioFile(String path, int* length, int* channels, int* format, int* hertz);

// An Ogg Vorbis file decoded piece by piece from its start, for music that
// plays while it is decoded. Mono or stereo, as the audio device takes.
class OrvOggStream {
public:
    OrvOggStream();
    ~OrvOggStream();
    OrvOggStream(const OrvOggStream&) = delete;
    OrvOggStream& operator=(const OrvOggStream&) = delete;

    // Opens the file (closing the one before): false when it is missing, not
    // Ogg Vorbis, or of a layout the device cannot play.
    bool Open(String path);
    // Forgets the file: reading and rewinding then fail.
    void Close();
    bool IsOpen() const;
    int Channels() const;
    int Rate() const;
    // Decodes up to `frames` sample frames of interleaved 16-bit samples:
    // how many it decoded, 0 at the end of the stream, -1 when the rest
    // cannot be decoded (damage, or a link of another layout).
    int Read(short* out, int frames);
    // Back to the first sample: the file is opened anew, so the start sounds
    // exactly as it did the first time.
    bool Rewind();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
