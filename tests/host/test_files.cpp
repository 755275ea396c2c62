// Paths, whole-file loads, the stored-state file and where it is kept (in
// the build folder, or the user's data folder made by the first save), and
// the sound decoders:
// WAV files of every kind writers make, Ogg Vorbis from this and other
// encoders (real-world files decode to the samples they always gave),
// layouts the device cannot play refused, and damaged files loading as null
// or as a sound no longer than the original: never a crash, a runaway
// allocation or a sanitizer report. Paths are relative to the current
// directory, so every test runs in a fresh directory of its own.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <poll.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "framework/data.h"
#include "host/files.h"
#include "host/host_game.h"
#include "host/program_folders.h"
#include "host/sound_files.h"
#include "tests/game/values.h"
#include "tests/host/temp_files.h"
#include "tests/support/sound_files.h"

namespace {

namespace fs = std::filesystem;
using sound_files::EncodeOgg;
using sound_files::Le;
using sound_files::Wav;

String U(const char16_t* s) { return String(s, static_cast<int>(std::char_traits<char16_t>::length(s))); }

void WriteFile(const std::string& path, const std::string& bytes) {
    if (fs::path(path).has_parent_path()) fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

class InTempDir : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.empty());
        fs::current_path(dir_);
    }
    void TearDown() override {
        fs::current_path(old_dir_);
        orvSetStateFolder(".");
    }

    // The sound of a file of these bytes, written under that name and loaded.
    struct Sound {
        unsigned char* data = nullptr;
        int length = -1, channels = -1, format = -1, hertz = -1;
        explicit Sound(const std::string& bytes, const std::string& name = "sound.ogg") {
            WriteFile(name, bytes);
            data = orvLoadAudioFile(String(name.c_str()), &length, &channels, &format, &hertz);
        }
        Sound(const Sound&) = delete;
        ~Sound() { std::free(data); }
        short At(long i) const { return reinterpret_cast<const short*>(data)[i]; }
    };
    // Installed by the setup script (Debian's sound-theme-freedesktop): Oggs
    // made by other encoders than the one the tests use.
    static std::string Theme(const char* name) {
        const std::string path = std::string("/usr/share/sounds/freedesktop/stereo/") + name + ".oga";
        std::string bytes = ReadFile(path);
        EXPECT_FALSE(bytes.empty()) << path << " is missing: run scripts/setup.sh";
        return bytes;
    }

    OrvGlfwGame host;
    const fs::path old_dir_ = fs::current_path();
    TempDir dir_;
};

TEST(DataPath, OnlyPlainNamesGoToTheDataAreaAndOnlyKnownAreasMapToFiles) {
    // The first "/" of 'c/d:/e' comes before the ":/": not a scheme.
    const std::pair<const char16_t*, const char*> fixed[] = {
        {u"sfx/jump.wav", "quarlo://data/sfx/jump.wav"}, {u"./x.png", "./x.png"}, {u"/x.png", "/x.png"},
        {u"quarlo://data/x.png", "quarlo://data/x.png"}, {u"c/d:/e", "quarlo://data/c/d:/e"},
        {u".hidden", "quarlo://data/.hidden"},
    };
    for (const auto& [in, out] : fixed) EXPECT_EQ(orv_data_FixDataPath(U(in)).ToUtf8(), out);

    OrvGlfwGame host;
    // 'quarlo://data' has no "/" after the area: an unknown area.
    const std::pair<const char16_t*, const char*> mapped[] = {
        {u"quarlo://data/gfx/a.png", "./data/gfx/a.png"}, {u"quarlo://internal/b", "./internal/b"},
        {u"quarlo://external/c", "./external/c"}, {u"quarlo://cache/a", ""}, {u"quarlo://data", ""},
        {u"QUARLO://data/a", "QUARLO://data/a"},
    };
    for (const auto& [in, out] : mapped) EXPECT_EQ(host.PathToFilePath(U(in)).ToUtf8(), out);
}

using FileAccess = InTempDir;

TEST_F(FileAccess, LoadsExactBytesThroughMappedAndNonAsciiNames) {
    // Sizes around the loader's 4096-byte reads.
    for (int size : {0, 4096, 10000}) {
        std::string bytes(static_cast<std::size_t>(size), '\0');
        for (int i = 0; i < size; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>(i * 7 + i / 256);
        WriteFile("data/\xC3\xA9", bytes);
        for (const char16_t* path : {u"quarlo://data/\u00E9", u"./data/\u00E9"}) {
            int length = -1;
            unsigned char* data = host.LoadData(U(path), &length);
            ASSERT_NE(data, nullptr) << size;
            EXPECT_EQ(std::string(reinterpret_cast<char*>(data), static_cast<std::size_t>(length)), bytes) << size;
            std::free(data);
        }
    }
    // Opened unmapped, the unknown area's name would reach the file written
    // here; a directory opens but can't be read: it is no empty file.
    WriteFile("quarlo:/cache/a", "no");
    int length = 0;
    for (const char16_t* path : {u"quarlo://cache/a", u"quarlo://data/none", u"./data"}) {
        EXPECT_EQ(host.LoadData(U(path), &length), nullptr) << U(path).ToUtf8();
    }
}

using StateFile = InTempDir;

TEST_F(StateFile, SavesUtf8AndAFailedSaveKeepsTheOldState) {
    EXPECT_EQ(host.LoadState().Length(), 0);  // no file yet
    // A longer state first: the shorter one must replace it whole.
    ASSERT_EQ(host.SaveState(U(u"a much longer state than the next")), 0);
    ASSERT_EQ(host.SaveState(U(u"\u00E9")), 0);
    EXPECT_EQ(ReadFile(".quarlostate"), "\xC3\xA9");
    EXPECT_EQ(host.LoadState(), U(u"\u00E9"));

    WriteFile(".quarlostate", "old");
    // The new state can't even be started, or the disk fills up while it
    // is written: the old state stays, and nothing is left beside it.
    for (const auto& [resource, result] : {std::pair{RLIMIT_NOFILE, -1}, {RLIMIT_FSIZE, -2}}) {
        SCOPED_TRACE(resource);
        {
            const ProcessLimit limit(resource, resource == RLIMIT_NOFILE ? 3 : 0);
            EXPECT_EQ(host.SaveState(U(u"new")), result);
        }
        EXPECT_EQ(ReadFile(".quarlostate"), "old");
        EXPECT_EQ(FilesIn("."), 1);
    }
}

// Two copies of the game saving at the same moments, read all the while:
// the state file is always one whole save, the one before them or one of
// theirs, and both are read many times before they stop.
TEST_F(StateFile, TwoCopiesSavingAtOnceNeverMixTheirSaves) {
    const std::string saves[2] = {std::string(5000, 'a'), "b"};
    host.SaveState(String("before"));
    int stop[2];
    ASSERT_EQ(pipe(stop), 0);
    pid_t copies[2];
    for (int c = 0; c < 2; ++c) {
        copies[c] = fork();
        ASSERT_GE(copies[c], 0);
        if (copies[c] == 0) {
            close(stop[1]);
            pollfd told{stop[0], POLLIN, 0};  // the reader closes its end when it has seen enough
            while (poll(&told, 1, 0) == 0) host.SaveState(String(saves[c].c_str()));
            _exit(0);
        }
    }
    close(stop[0]);
    int seen[2] = {}, mixed = 0;
    for (long reads = 0; (seen[0] < 50 || seen[1] < 50) && mixed == 0 && reads < 10000000; ++reads) {
        const std::string now = ReadFile(".quarlostate");
        seen[0] += now == saves[0];
        seen[1] += now == saves[1];
        mixed += now != "before" && now != saves[0] && now != saves[1];
        EXPECT_EQ(mixed, 0) << now.size() << " bytes";
    }
    close(stop[1]);
    for (pid_t copy : copies) waitpid(copy, nullptr, 0);
    EXPECT_TRUE(seen[0] >= 50 && seen[1] >= 50) << seen[0] << " and " << seen[1] << " reads of their saves";
    EXPECT_EQ(FilesIn("."), 1);
}

// ---------------------------------------------------------------- folders

using Folders = InTempDir;

TEST_F(Folders, UserStateFolderFollowsTheDesktopsRules) {
    EXPECT_EQ(orvUserStateFolder("/x/data/", "/home/p"), "/x/data/vellumby");
    // Unset, empty or relative: the default under the home folder.
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "rel/data"}) {
        EXPECT_EQ(orvUserStateFolder(unusable, "/home/p"), "/home/p/.local/share/vellumby");
    }
    EXPECT_EQ(orvUserStateFolder("rel", nullptr), "");
}

// The choices as (working folder, state folder, data folders looked for),
// for the layouts of a build and of an installed copy (PREFIX/games and
// PREFIX/share/games/vellumby).
TEST_F(Folders, BuildFolderInstalledCopyAndMissingData) {
    for (const char* folder : {"build/data", "games", "share/games/vellumby/data"}) fs::create_directories(dir_ / folder);
    const std::string d = dir_.string();
    using Choice = std::vector<std::string>;
    const auto choose = [&](const char* program, bool writable) {
        const ProgramFolders f =
            orvChooseProgramFolders(d + "/" + program, writable, "../share/games/vellumby", "/u/vellumby");
        return Choice{f.run, f.state, f.missing_data};
    };

    // The build folder: beside the program, and so is its state, unless the
    // player can't write there.
    EXPECT_EQ(choose("build", true), (Choice{d + "/build", ".", ""}));
    EXPECT_EQ(choose("build", false), (Choice{d + "/build", "/u/vellumby", ""}));
    // An installed copy: its shared data folder, and the user's state even
    // where the installed folders could be written (a home prefix, or root).
    for (bool writable : {true, false}) {
        EXPECT_EQ(choose("games", writable), (Choice{d + "/share/games/vellumby", "/u/vellumby", ""})) << writable;
    }

    // Neither (a file named data is no folder): the folders looked for.
    fs::remove_all(dir_ / "share");
    std::ofstream(dir_ / "games/data") << "x";
    EXPECT_EQ(choose("games", true),
              (Choice{d + "/games", ".", d + "/games/data and " + d + "/share/games/vellumby/data"}));
}

TEST_F(Folders, FirstSaveMakesThePrivateUserFolderAndUnusableOnesFailTheSave) {
    const fs::path folder = dir_ / "xdg home/vellumby";
    orvSetStateFolder(folder.string());
    EXPECT_EQ(host.LoadState().Length(), 0);
    EXPECT_FALSE(fs::exists(dir_ / "xdg home"));  // nothing is made before a save
    ASSERT_EQ(host.SaveState(String("1|2|")), 0);
    EXPECT_EQ(host.LoadState(), String("1|2|"));
    EXPECT_TRUE(fs::exists(folder / ".quarlostate") && FilesIn(folder) == 1);  // and nothing left over
    for (const fs::path& made : {dir_ / "xdg home", folder}) {
        EXPECT_EQ(fs::status(made).permissions() & fs::perms::all, fs::perms::owner_all) << made;
    }

    // A save that can't complete keeps the earlier one.
    {
        const ProcessLimit no_files(RLIMIT_NOFILE, 3);
        EXPECT_EQ(host.SaveState(String("new")), -1);
    }
    EXPECT_EQ(host.LoadState(), String("1|2|"));

    // A file where a folder should be, or no folder known at all.
    std::ofstream(dir_ / "blocked") << "x";
    for (const std::string& unusable : {(dir_ / "blocked/vellumby").string(), std::string()}) {
        orvSetStateFolder(unusable);
        EXPECT_EQ(host.SaveState(String("new")), -1);
        EXPECT_EQ(host.LoadState().Length(), 0);
    }
}

// ---------------------------------------------------------------- sounds

using SoundFile = InTempDir;
using OggFiles = InTempDir;

// A WAV file as {format size, tag, channels, bits, rate, chunks before the data, data}.
std::string Chunk(const char* tag, const std::string& body, bool pad = true) {
    return tag + Le(static_cast<std::uint32_t>(body.size()), 4) + body + std::string(pad && body.size() % 2, '\0');
}

TEST_F(SoundFile, WavLoadsPastExtendedFormatAndOtherChunks) {
    const Wav extended{18, 1, 2, 16, 22050, Chunk("LIST", "INFOISFT" + Le(4, 4) + "test"), "0123456789abcdefghijklmn"};
    const struct { const char* name; Wav wav; int length; } cases[] = {
        {"JUMP.WAV", extended, 6},  // 24 bytes of 16-bit stereo
        // A chunk of odd size, with the pad byte the format asks for and
        // without it (as some writers leave it out).
        {"padded.wav", {16, 1, 1, 8, 8000, Chunk("junk", "abc"), "\x80\x90\xA0\xB0\xC0"}, 5},
        {"unpadded.wav", {16, 1, 1, 8, 8000, Chunk("junk", "abc", false), "\x80\x90\xA0\xB0\xC0"}, 5},
    };
    for (const auto& c : cases) {
        const Sound s(c.wav.Build(), c.name);
        ASSERT_NE(s.data, nullptr) << c.name;
        EXPECT_EQ(Values(s.length, s.channels, s.format, s.hertz), Values(c.length, c.wav.channels, c.wav.bits / 8, c.wav.rate))
            << c.name;
        EXPECT_EQ(std::string(reinterpret_cast<char*>(s.data), c.wav.data.size()), c.wav.data) << c.name;
    }
}

TEST_F(SoundFile, DamagedOrUnknownFilesGiveNull) {
    auto wav = [](auto change) {
        Wav w{16, 1, 2, 16, 22050, "", std::string(16, '\x22')};
        change(w);
        return w.Build();
    };
    const std::string good = wav([](Wav&) {});
    const std::string ogg = EncodeOgg(1, 8000, 2000, [](long i, int) { return (i % 20) / 40.0f; });
    std::string garbage(4000, '\0');
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 131 + i / 7);
    const struct { const char *what, *name; std::string bytes; } cases[] = {
        {"WAV bytes under another name", "jump.mp3", good},
        {"Ogg bytes under another name", "music.mp3", ogg},
        {"zero channels", "bad.wav", wav([](Wav& w) { w.channels = 0; })},
        {"4-bit samples", "bad.wav", wav([](Wav& w) { w.bits = 4; })},
        {"float samples", "bad.wav", wav([](Wav& w) { w.tag = 3; })},
        {"oversized data size", "bad.wav", wav([](Wav& w) { w.claimed = 0xFFFFFFF0u; })},
        {"truncated data", "bad.wav", wav([](Wav& w) { w.claimed = 1000; })},
        {"oversized other chunk", "bad.wav", wav([](Wav& w) { w.before_data = "LIST" + Le(0x7FFFFFF0u, 4) + "x"; })},
        {"short format chunk", "bad.wav", wav([](Wav& w) { w.fmt_size = 14; })},
        {"not RIFF", "bad.wav", "RIFX" + good.substr(4)},
        {"cut in the header", "bad.wav", good.substr(0, 30)},
        {"no data chunk", "bad.wav", good.substr(0, 36)},
        {"Ogg cut in the headers", "bad.ogg", ogg.substr(0, 80)},
        {"garbage after an Ogg page marker", "bad.ogg", "OggS" + garbage},
        {"empty Ogg", "bad.ogg", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(Sound(c.bytes, c.name).data, nullptr) << c.what;
}

float Tone(long i, int c, long rate) { return 0.4f * std::sin(6.2832f * float((300 + 200 * c) * i) / float(rate)); }

// Frame counts and samples as the earlier decoder of the program gave them
// (every sample within 1 of those).
TEST_F(OggFiles, RealWorldFilesDecodeToTheSameSamplesAsBefore) {
    // Each file's shape, and samples as (interleaved index, value).
    const struct {
        const char* name;
        int frames, channels, hertz;
        std::vector<std::pair<long, short>> samples;
    } known[] = {
        {"bell", 6151, 2, 44100,
         {{723, -1640}, {2170, -7333}, {3618, 3707}, {5065, -1235}, {6512, 4547}, {7960, -1393}, {9407, -291},
          {10854, 32}}},
        {"phone-outgoing-calling", 9505, 1, 8000,
         {{559, -5674}, {1677, 1360}, {2795, 3876}, {3913, -7721}, {5032, 8008}, {6150, -6561}, {7268, 2143},
          {8386, 1492}}},
    };
    for (const auto& k : known) {
        const Sound s(Theme(k.name), "Voduzozu.OGG");
        ASSERT_NE(s.data, nullptr) << k.name;
        EXPECT_EQ(Values(s.length, s.channels, s.format, s.hertz), Values(k.frames, k.channels, 2, k.hertz)) << k.name;
        for (const auto& [i, value] : k.samples) EXPECT_NEAR(s.At(i), value, 1) << k.name << " sample " << i;
    }
}

// The music's stream on its own: read to its end, rewound, closed; on a
// file cut in half, one with bytes changed half-way (a page lost), and one
// deleted while open (its open file reads on; there is nothing to rewind to).
TEST_F(OggFiles, AStreamReadsToItsEndRewindsAndCloses) {
    const std::string good = EncodeOgg(2, 44100, 44100, [](long i, int c) {  // noise: the headers are a small part
        return static_cast<float>((static_cast<unsigned>(i * 2 + c) * 2654435761u) >> 8 & 0xffff) / 131072.0f - 0.25f;
    });
    std::string corrupted = good;
    for (std::size_t i = good.size() / 2; i < good.size() / 2 + 16; ++i) corrupted[i] = static_cast<char>(~corrupted[i]);
    const struct { const char* name; std::string bytes; bool deleted; int frames; bool rewound; } cases[] = {
        {"good", good, false, 44100, true},
        {"cut", good.substr(0, good.size() / 2), false, 8896, true},
        {"corrupted", corrupted, false, 33860, true},
        {"deleted", good, true, 44100, false},
    };
    for (const auto& c : cases) {
        WriteFile("tune.ogg", c.bytes);
        OrvOggStream stream;
        ASSERT_TRUE(stream.Open(String("tune.ogg"))) << c.name;
        if (c.deleted) fs::remove("tune.ogg");
        std::vector<short> first(2 * 1000), again(first.size()), rest(2 * 4096);
        int frames = stream.Read(first.data(), 1000), got = 0;
        while ((got = stream.Read(rest.data(), 4096)) > 0) frames += got;
        const bool rewound = stream.Rewind();
        const bool same_start = !rewound || (stream.Read(again.data(), 1000) == 1000 && again == first);
        stream.Close();
        EXPECT_EQ(Values(frames, got, rewound, same_start, stream.Read(rest.data(), 10), stream.Rewind()),
                  Values(c.frames, 0, c.rewound, true, -1, false))
            << c.name;
    }
}

// Copies with a few bytes changed at random places, from real-world files,
// the game's own music and files the tests encode.
TEST_F(OggFiles, DamagedCopiesLoadAsNullOrAsNoMoreThanTheOriginal) {
    // The music's headers and first seconds: the whole piece would take
    // long to decode hundreds of times.
    const std::vector<std::string> originals = {
        Theme("bell"), Theme("dialog-information"), Theme("message"), Theme("complete"),
        ReadFile(DATA_DIR "/sfx/Voduzozu.ogg").substr(0, 48000),
        EncodeOgg(1, 8000, 6000, [](long i, int c) { return Tone(i, c, 8000); }),
        EncodeOgg(2, 44100, 20000, [](long i, int c) { return Tone(i, c, 44100); })};

    std::vector<std::vector<int>> shapes;  // length, channels, hertz
    for (const std::string& bytes : originals) {
        const Sound s(bytes);
        ASSERT_NE(s.data, nullptr) << "original " << shapes.size();
        shapes.push_back({s.length, s.channels, s.hertz});
    }

#if defined(__SANITIZE_ADDRESS__)
    const int copies = 350;  // a few seconds with the checks
#else
    const int copies = 2100;
#endif
    std::mt19937 random(20240611);
    int loaded = 0;
    for (int n = 0; n < copies; ++n) {
        const std::size_t which = static_cast<std::size_t>(n) % originals.size();
        std::string bytes = originals[which];
        for (int k = 1 + static_cast<int>(random() % 8); k > 0; --k) {
            const std::size_t at = random() % bytes.size();
            bytes[at] = static_cast<char>(bytes[at] ^ static_cast<char>(1 + random() % 255));
        }
        const Sound s(bytes);
        if (!s.data) continue;
        ++loaded;
        // Damaged pages are dropped whole, and a stream without them can't
        // be longer.
        const std::vector<int>& o = shapes[which];
        ASSERT_EQ(Values(s.channels, s.hertz, s.format), Values(o[1], o[2], 2)) << "copy " << n;
        ASSERT_TRUE(s.length >= 0 && s.length <= o[0]) << "copy " << n << ": " << s.length << " frames";
    }
    // Most copies are damaged in their headers (the bulk of a short file);
    // many others lose audio pages and still play what is left.
    EXPECT_GT(loaded, copies / 10);
}

}  // namespace
