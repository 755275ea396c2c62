// Settings, badges and highscores kept as one save string: 98 decimal
// numbers, each followed by "|", in three blocks that each carry a checksum.
// A block whose checksum fails goes back to its defaults; the others are
// still taken.
#include <cstdint>
#include <string>

#include "framework/app.h"
#include "game/my_app.h"
#include "runtime/diagnostics.h"

namespace {

// The checksums are sums of the language's 32-bit Int, which wraps.
int Wrap(std::uint32_t sum) { return static_cast<int>(sum); }

int SettingsSum(const Array<int>& settings) {
    std::uint32_t sum = 0;
    for (int i = 0; i < 25; ++i) sum += static_cast<std::uint32_t>(i) * static_cast<std::uint32_t>(settings[i]);
    return Wrap(sum);
}

// Bit j of word b is the flag of badge 32·b + j; bit 31 makes the word negative.
int BadgeWord(const Array<bool>& got, int b) {
    std::uint32_t word = 0;
    for (int j = 0; j < 32; ++j) {
        if (got[32 * b + j]) word |= std::uint32_t{1} << j;
    }
    return Wrap(word);
}

// List t: Top at 10·t + k, Last at 30 + 10·t + k, weights k + 4 and t + 3 + k.
int ScoresSum(const Array<int>& scores, int t) {
    std::uint32_t sum = 0;
    for (int k = 0; k < 10; ++k) {
        sum += static_cast<std::uint32_t>(k + 4) * static_cast<std::uint32_t>(scores[10 * t + k]);
        sum += static_cast<std::uint32_t>(t + 3 + k) * static_cast<std::uint32_t>(scores[30 + 10 * t + k]);
    }
    return Wrap(sum);
}

void Put(std::string& text, int value) {
    text += std::to_string(value);
    text += '|';
}

}  // namespace

int c_MyApp::p_Save() {
    std::string text;
    for (int i = 0; i < 25; ++i) Put(text, m_Settings[i]);
    Put(text, SettingsSum(m_Settings));
    std::uint32_t badgeSum = 0;
    for (int b = 0; b < 8; ++b) {
        const int word = BadgeWord(m_BadgeGot, b);
        Put(text, word);
        badgeSum += static_cast<std::uint32_t>(word);
    }
    Put(text, Wrap(badgeSum));
    for (int t = 0; t < 3; ++t) {
        for (int k = 0; k < 10; ++k) {
            Put(text, m_Scores[10 * t + k]);
            Put(text, m_Scores[30 + 10 * t + k]);
        }
        Put(text, ScoresSum(m_Scores, t));
    }

    const String state(text.c_str());
    if (orv_Kemp_DebugMode == 1) orvPrint(state);
    // A failed save must not stop the game, but the player should learn that
    // the scores will not be there next time: once, not after every game.
    if (orv_app_SaveState(state) == 0) {
        m_SaveFailed = 0;
    } else if (m_SaveFailed == 0) {
        m_SaveFailed = 1;
        orvPrint(String("Settings and scores could not be saved: the state file ") + orv_app_StateFilePath() +
                 String(" can't be written"));
    }
    return 0;
}

int c_MyApp::p_Load() {
    const String text = orv_app_LoadState();
    const Array<String> parts = text.Split(String("|"));
    const int count = parts.Length();
    auto field = [&parts](int i) { return parts[i].ToInt(); };
    int p = 0;
    if (orv_Kemp_DebugMode == 1) orvPrint(text);

    // Settings. A text of exactly 25 parts has the settings but not their
    // checksum: it can only be a damaged save, so the block counts as failing
    // its checksum (reset, with the message) rather than as absent, which
    // would take the settings fields for badge words.
    if (count >= 25) {
        for (int i = 0; i < 25; ++i) m_Settings[i] = field(p + i);
        p += 25;
        const bool valid = p < count && field(p) == SettingsSum(m_Settings);
        p += 1;
        if (valid) {
            orvPrint(String("Settings Loaded"));
        } else {
            orvPrint(String("Settings Checksum Invalid"));
            for (int i = 0; i < 25; ++i) m_Settings[i] = 0;
            m_Settings[setting::kSoundMode] = 1;
        }
    }

    // Option repair: values the controls and the screen rely on.
    if (m_Settings[setting::kPadX] < 64) m_Settings[setting::kPadX] = 64;
    if (m_Settings[setting::kPadY] < 64) m_Settings[setting::kPadY] = 64;
    if (m_Settings[setting::kPadSize] < 8) m_Settings[setting::kPadSize] = 10;
    if (m_Settings[setting::kOverscan] < 1) m_Settings[setting::kOverscan] = 64;
    if (orv_Kemp_isOuya == 1) {
        orv_Kemp_overscan = static_cast<float>(m_Settings[setting::kOverscan]);
    } else {
        m_Settings[setting::kOverscan] = 1;
        orv_Kemp_overscan = 0;
    }

    if (p + 8 < count) {
        std::uint32_t sum = 0;
        for (int b = 0; b < 8; ++b) {
            const int word = field(p + b);
            sum += static_cast<std::uint32_t>(word);
            for (int j = 0; j < 32; ++j) m_BadgeGot[32 * b + j] = ((static_cast<std::uint32_t>(word) >> j) & 1) != 0;
        }
        p += 8;
        const bool valid = field(p) == Wrap(sum);
        p += 1;
        if (valid) {
            orvPrint(String("Badges Loaded"));
        } else {
            orvPrint(String("Badge Checksum Invalid"));
            for (int i = 0; i < 256; ++i) m_BadgeGot[i] = false;
        }
    }

    for (int t = 0; t < 3; ++t) {
        if (!(p + 20 < count)) continue;
        for (int k = 0; k < 10; ++k) {
            m_Scores[10 * t + k] = field(p + 2 * k);
            m_Scores[30 + 10 * t + k] = field(p + 2 * k + 1);
        }
        p += 20;
        const bool valid = field(p) == ScoresSum(m_Scores, t);
        p += 1;
        const String list = String("Highscore ") + String(t);
        if (valid) {
            orvPrint(list + String(" Loaded"));
        } else {
            orvPrint(list + String(" Checksum Invalid"));
            for (int k = 0; k < 10; ++k) {
                m_Scores[10 * t + k] = 0;
                m_Scores[30 + 10 * t + k] = 0;
            }
        }
    }
    return 0;
}
