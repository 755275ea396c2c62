// Sound files decoded to memory: WAV whole, Ogg Vorbis whole or piece by
// piece for the music.
#include "host/sound_files.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "host/files.h"
#include "host/host_game.h"

// The header's ready-made callback sets are unused here: this file reads
// through callbacks of its own.
#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

namespace {

// Case-insensitive for ASCII letters only; no other unit can match the
// ASCII suffixes this is used with.
bool EndsWithNoCase(const String& s, const char* suffix) {
    const int n = static_cast<int>(std::strlen(suffix));
    if (s.Length() < n) return false;
    for (int i = 0; i < n; ++i) {
        const char16_t u = s[s.Length() - n + i];
        if (u >= 0x80 || std::tolower(u) != suffix[i]) return false;
    }
    return true;
}

// Bytes between the read position and the end of the file.
long BytesLeft(std::FILE* file) {
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long end = std::ftell(file);
    if (end < 0 || std::fseek(file, here, SEEK_SET) != 0) return -1;
    return end - here;
}

bool ReadExact(std::FILE* file, void* out, std::size_t n) { return std::fread(out, 1, n, file) == n; }

bool ReadU16(std::FILE* file, unsigned* value) {
    unsigned char b[2];
    if (!ReadExact(file, b, 2)) return false;
    *value = b[0] | unsigned(b[1]) << 8;
    return true;
}

bool ReadU32(std::FILE* file, std::uint32_t* value) {
    unsigned char b[4];
    if (!ReadExact(file, b, 4)) return false;
    *value = b[0] | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    return true;
}

bool ReadTag(std::FILE* file, char tag[4]) { return ReadExact(file, tag, 4); }
bool TagIs(const char tag[4], const char* expected) { return std::memcmp(tag, expected, 4) == 0; }

// Skips n bytes of a chunk body, refusing to go past the end of the file.
// Chunks of odd size are followed by a pad byte; it is skipped when present
// (a zero byte can never begin a chunk tag), so files from writers that
// leave it out still load.
bool SkipChunk(std::FILE* file, std::uint32_t n) {
    const long left = BytesLeft(file);
    if (left < 0 || n > static_cast<unsigned long>(left)) return false;
    if (std::fseek(file, static_cast<long>(n), SEEK_CUR) != 0) return false;
    if (n & 1) {
        const int pad = std::fgetc(file);
        if (pad != 0 && pad != EOF) std::ungetc(pad, file);
    }
    return true;
}

// Reads a RIFF file of integer PCM samples. Header values are checked
// against each other and against the file's real size, so a damaged file
// gives null instead of a huge allocation or a division by zero.
unsigned char* LoadWAV(std::FILE* file, int* length, int* channels, int* format, int* hertz) {
    char tag[4];
    std::uint32_t size = 0;
    if (!ReadTag(file, tag) || !TagIs(tag, "RIFF") || !ReadU32(file, &size)) return nullptr;
    if (!ReadTag(file, tag) || !TagIs(tag, "WAVE") || !ReadTag(file, tag) || !TagIs(tag, "fmt ")) return nullptr;

    std::uint32_t fmt_size = 0, rate = 0, byte_rate = 0;
    unsigned tag_value = 0, chans = 0, align = 0, bits = 0;
    if (!ReadU32(file, &fmt_size) || fmt_size < 16) return nullptr;
    if (!ReadU16(file, &tag_value) || tag_value != 1) return nullptr;
    if (!ReadU16(file, &chans) || !ReadU32(file, &rate) || !ReadU32(file, &byte_rate) || !ReadU16(file, &align) ||
        !ReadU16(file, &bits)) {
        return nullptr;
    }
    const unsigned bytes_per_sample = bits / 8;
    if (chans == 0 || bytes_per_sample == 0 || rate > INT_MAX) return nullptr;
    if (!SkipChunk(file, fmt_size - 16)) return nullptr;

    for (;;) {
        if (!ReadTag(file, tag) || !ReadU32(file, &size)) return nullptr;
        if (!TagIs(tag, "data")) {
            if (!SkipChunk(file, size)) return nullptr;
            continue;
        }
        const long left = BytesLeft(file);
        if (left < 0 || size > static_cast<unsigned long>(left) || size > INT_MAX) return nullptr;
        auto* data = static_cast<unsigned char*>(std::malloc(size ? size : 1));
        if (!data) return nullptr;
        if (!ReadExact(file, data, size)) {
            std::free(data);
            return nullptr;
        }
        *length = static_cast<int>(size / (chans * bytes_per_sample));
        *channels = static_cast<int>(chans);
        *format = static_cast<int>(bytes_per_sample);
        *hertz = static_cast<int>(rate);
        return data;
    }
}

// Ogg Vorbis goes through the reference decoder, which reads the open file
// through a callback of ours: the caller, not the decoder, closes the file.
// Read-only, without seeking: the stream is decoded once from the start, and
// a damaged file gets no second look at its end.
std::size_t ReadOgg(void* out, std::size_t size, std::size_t count, void* file) {
    return std::fread(out, size, count, static_cast<std::FILE*>(file));
}

// The longest sound decoded whole: 2^25 sample frames, about 12.7 minutes at
// 44.1 kHz (128 MB in stereo). A longer one is a damaged or hostile file, and
// would cost the memory of many songs.
constexpr std::size_t kMaxOggFrames = std::size_t(1) << 25;
// No sound file has more; a damaged header can claim anything.
constexpr long kMaxOggRate = 384000;

struct OggFile {
    OggVorbis_File vf;
    bool open = false;
    ~OggFile() {
        if (open) ov_clear(&vf);
    }
};

struct FreeSamples {
    void operator()(short* p) const { std::free(p); }
};

// Decodes a whole Ogg Vorbis stream to interleaved 16-bit little-endian
// samples. Mono and stereo only (the audio device takes no more). A gap in
// the data is skipped as the decoder resynchronises; any other decoding
// error, a change of format in a chained stream, or a length beyond the
// limit gives null.
unsigned char* LoadOGG(std::FILE* file, int* length, int* channels, int* format, int* hertz) {
    OggFile ogg;
    const ov_callbacks callbacks = {ReadOgg, nullptr, nullptr, nullptr};
    // On failure the decoder has cleaned up after itself.
    if (ov_open_callbacks(file, &ogg.vf, nullptr, 0, callbacks) != 0) return nullptr;
    ogg.open = true;
    const vorbis_info* info = ov_info(&ogg.vf, -1);
    if (!info || info->channels < 1 || info->channels > 2 || info->rate < 1 || info->rate > kMaxOggRate) {
        return nullptr;
    }
    const int c = info->channels;
    const long rate = info->rate;
    const std::size_t frame_bytes = sizeof(short) * static_cast<std::size_t>(c);
    // One call of the decoder asks for at most this much.
    const std::size_t step = 4096 * frame_bytes;

    std::unique_ptr<short, FreeSamples> samples;
    std::size_t capacity = 0;  // bytes
    std::size_t used = 0;      // bytes, whole frames
    for (;;) {
        if (capacity - used < step) {
            const std::size_t grown = capacity ? capacity * 2 : 16 * step;
            void* p = std::realloc(samples.get(), grown);
            if (!p) return nullptr;
            samples.release();
            samples.reset(static_cast<short*>(p));
            capacity = grown;
        }
        int section = 0;
        char* out = reinterpret_cast<char*>(samples.get()) + used;
        const long got = ov_read(&ogg.vf, out, static_cast<int>(step), 0, 2, 1, &section);
        if (got == 0) break;
        if (got == OV_HOLE) continue;
        if (got < 0) return nullptr;
        // The next link of a chained stream may have another layout, which
        // one buffer cannot hold.
        const vorbis_info* now = ov_info(&ogg.vf, -1);
        if (!now || now->channels != c || now->rate != rate) return nullptr;
        used += static_cast<std::size_t>(got);
        if (used / frame_bytes > kMaxOggFrames) return nullptr;
    }
    *length = static_cast<int>(used / frame_bytes);
    *channels = c;
    *format = 2;
    *hertz = static_cast<int>(rate);
    return reinterpret_cast<unsigned char*>(samples.release());
}

}  // namespace

unsigned char* orvLoadAudioFile(String path, int* length, int* channels, int* format, int* hertz) {
    const bool wav = EndsWithNoCase(path, ".wav");
    const bool ogg = !wav && EndsWithNoCase(path, ".ogg");
    if (!wav && !ogg) return nullptr;
    std::FILE* file = orvOpenFile(orvDesktopFilePath(path), "rb");
    if (!file) return nullptr;
    unsigned char* data =
        wav ? LoadWAV(file, length, channels, format, hertz) : LoadOGG(file, length, channels, format, hertz);
    std::fclose(file);
    return data;
}

struct OrvOggStream::Impl {
    std::string path;
    std::FILE* file = nullptr;
    OggVorbis_File vf;
    bool open = false;
    int channels = 0;
    long rate = 0;

    void Close() {
        if (open) ov_clear(&vf);
        open = false;
        if (file) std::fclose(file);
        file = nullptr;
    }
    bool Open() {
        Close();
        file = std::fopen(path.c_str(), "rb");
        if (!file) return false;
        const ov_callbacks callbacks = {ReadOgg, nullptr, nullptr, nullptr};
        if (ov_open_callbacks(file, &vf, nullptr, 0, callbacks) != 0) {
            Close();
            return false;
        }
        open = true;
        const vorbis_info* info = ov_info(&vf, -1);
        if (!info || info->channels < 1 || info->channels > 2 || info->rate < 1 || info->rate > kMaxOggRate ||
            (channels && (info->channels != channels || info->rate != rate))) {
            Close();
            return false;
        }
        channels = info->channels;
        rate = info->rate;
        return true;
    }
};

OrvOggStream::OrvOggStream() : impl_(new Impl()) {}

OrvOggStream::~OrvOggStream() { impl_->Close(); }

bool OrvOggStream::Open(String path) {
    Close();
    if (!EndsWithNoCase(path, ".ogg")) return false;
    const String file = orvDesktopFilePath(path);
    if (file.Length() == 0) return false;
    impl_->path = file.ToUtf8();
    return impl_->Open();
}

void OrvOggStream::Close() {
    impl_->Close();
    impl_->path.clear();  // nothing left to rewind to
    impl_->channels = 0;
    impl_->rate = 0;
}

bool OrvOggStream::IsOpen() const { return impl_->open; }

int OrvOggStream::Channels() const { return impl_->channels; }

int OrvOggStream::Rate() const { return static_cast<int>(impl_->rate); }

int OrvOggStream::Read(short* out, int frames) {
    if (!impl_->open) return -1;
    const int frame_bytes = 2 * impl_->channels;
    int done = 0;
    while (done < frames) {
        int section = 0;
        char* at = reinterpret_cast<char*>(out) + static_cast<std::ptrdiff_t>(done) * frame_bytes;
        const long got = ov_read(&impl_->vf, at, (frames - done) * frame_bytes, 0, 2, 1, &section);
        if (got == OV_HOLE) continue;  // a gap: the decoder has resynchronised
        if (got == 0) break;
        const vorbis_info* now = ov_info(&impl_->vf, -1);
        if (got < 0 || !now || now->channels != impl_->channels || now->rate != impl_->rate) {
            return done ? done : -1;
        }
        done += static_cast<int>(got / frame_bytes);
    }
    return done;
}

bool OrvOggStream::Rewind() { return !impl_->path.empty() && impl_->Open(); }

unsigned char* OrvGlfwGame::LoadAudioData(String path, int* length, int* channels, int* format, int* hertz) {
    return orvLoadAudioFile(path, length, channels, format, hertz);
}
