// Window-system input through the host: the key and character translation,
// the callbacks the host installs, and the layer's key numbering.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "host/host_game.h"
#include "tests/host/fake_glfw.h"

namespace {

// The events the host delivers, as text.
class EventLog : public OrvGameDelegate {
public:
    std::vector<std::string> events;
    void KeyEvent(int event, int data) override {
        events.push_back("key " + std::to_string(event) + " " + std::to_string(data));
    }
    void MouseEvent(int event, int data, float x, float y) override {
        events.push_back("mouse " + std::to_string(event) + " " + std::to_string(data) + " " +
                         std::to_string(static_cast<int>(x)) + " " + std::to_string(static_cast<int>(y)));
    }
};

using Events = std::vector<std::string>;

class HostInput : public ::testing::Test {
protected:
    void SetUp() override {
        gc_init();
        previous_ = GlfwLayer::current;
        GlfwLayer::current = &fake;
        host = new OrvGlfwGame();
        log = new EventLog();
        host->SetDelegate(log);
        host->StartGame();
        host->SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);  // installs the callbacks
        log->events.clear();
    }
    void TearDown() override {
        GlfwLayer::current = previous_;
        delete host;
    }
    // The events one callback call produced.
    Events Key(int key, int action) {
        log->events.clear();
        fake.callbacks().key(key, action);
        return log->events;
    }
    Events Char(int character, int action) {
        log->events.clear();
        fake.callbacks().character(character, action);
        return log->events;
    }

    FakeGlfw fake;
    OrvGlfwGame* host = nullptr;
    EventLog* log = nullptr;
    GlfwLayer* previous_ = nullptr;
};

// Classic codes, written out rather than taken from the layer's names.
const int kEsc = 257, kLeft = 285, kLShift = 287, kRAlt = 292, kEnter = 294, kKpEnter = 318;

TEST_F(HostInput, ControlKeysGiveKeyDownAndCharacterAndReleasesOnlyKeyUp) {
    EXPECT_EQ(Key(kEnter, glfw27::PRESS), (Events{"key 1 13", "key 3 13"}));
    EXPECT_EQ(Key(kEnter, glfw27::RELEASE), (Events{"key 2 13"}));
    EXPECT_EQ(Key(kLeft, glfw27::PRESS), (Events{"key 1 37", "key 3 65573"}));
    EXPECT_EQ(Key(kLeft, glfw27::PRESS), (Events{"key 1 37", "key 3 65573"}));  // a repeat repeats both
    EXPECT_EQ(Key(kLeft, glfw27::RELEASE), (Events{"key 2 37"}));
    EXPECT_EQ(Key(kEsc, glfw27::PRESS), (Events{"key 1 27", "key 3 27"}));
    EXPECT_EQ(Key(kEnter, 2), Events{});  // no other action exists in the classic interface
}

TEST_F(HostInput, ShiftAGivesShiftTheLetterAndTheShiftedCharacterFromTheCharacterCallback) {
    Events all = Key(kLShift, glfw27::PRESS);
    for (const Events& e : {Key('A', glfw27::PRESS), Char('A', glfw27::PRESS)}) all.insert(all.end(), e.begin(), e.end());
    EXPECT_EQ(all, (Events{"key 1 16", "key 1 65", "key 3 65"}));
    EXPECT_EQ(Key('A', glfw27::RELEASE), (Events{"key 2 65"}));
    EXPECT_EQ(Char(0xE9, glfw27::PRESS), (Events{"key 3 233"}));  // beyond ASCII as it comes
    EXPECT_EQ(Char('a', glfw27::RELEASE), Events{});
}

TEST_F(HostInput, KeysWithoutACodeGiveNothingAtAll) {
    for (int key : {kRAlt, kKpEnter, 291 /* left Alt */, 320 /* caps lock */, -1, 400}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(Key(key, glfw27::PRESS), Events{});
        EXPECT_EQ(Key(key, glfw27::RELEASE), Events{});
    }
}

TEST_F(HostInput, MouseButtonsCarryTheCursorPositionAndMovesCarryNoButton) {
    fake.mouse_x = 120;
    fake.mouse_y = 45;
    fake.callbacks().mouse_button(0, glfw27::PRESS);
    fake.callbacks().mouse_button(0, glfw27::RELEASE);
    fake.callbacks().mouse_button(1, glfw27::PRESS);
    fake.callbacks().mouse_button(2, glfw27::RELEASE);
    fake.callbacks().mouse_button(3, glfw27::PRESS);  // a side button
    fake.callbacks().mouse_button(3, glfw27::RELEASE);
    fake.callbacks().mouse_pos(7, 9);
    EXPECT_EQ(log->events, (Events{"mouse 4 0 120 45", "mouse 5 0 120 45", "mouse 4 1 120 45", "mouse 5 2 120 45",
                                   "mouse 6 -1 7 9"}));
}

// Every row of the translation table, with every other code giving 0.
TEST(KeyTranslation, TransKeyTable) {
    std::map<int, int> expected;
    for (int c = '0'; c <= '9'; ++c) expected[c] = c;
    for (int c = 'A'; c <= 'Z'; ++c) expected[c] = c;
    expected[32] = 32;
    expected[39] = expected[34] = 222;
    expected[44] = 188;
    expected[45] = 189;
    expected[46] = 190;
    expected[47] = 191;
    expected[59] = 186;
    expected[61] = 187;
    expected[91] = 219;
    expected[92] = 220;
    expected[93] = 221;
    expected[96] = expected[126] = 192;
    expected[257] = 27;
    for (int i = 0; i < 12; ++i) expected[258 + i] = 112 + i;  // F1-F12; F13-F25 stay 0
    expected[283] = 38;                                         // up
    expected[284] = 40;                                         // down
    expected[285] = 37;                                         // left
    expected[286] = 39;                                         // right
    expected[287] = expected[288] = 16;                         // shifts
    expected[289] = expected[290] = 17;                         // controls
    expected[293] = 9;                                          // tab
    expected[294] = 13;                                         // enter
    expected[295] = 8;                                          // backspace
    expected[296] = 45;                                         // insert
    expected[297] = 46;                                         // delete
    expected[298] = 33;                                         // page up
    expected[299] = 34;                                         // page down
    expected[300] = 36;                                         // home
    expected[301] = 35;                                         // end
    for (int i = 0; i < 10; ++i) expected[302 + i] = 96 + i;    // keypad digits
    expected[312] = 111;                                        // keypad divide
    expected[313] = 106;                                        // multiply
    expected[314] = 109;                                        // subtract
    expected[315] = 107;                                        // add
    expected[316] = 110;                                        // decimal
    for (int key = -2; key <= 600; ++key) {
        const auto it = expected.find(key);
        EXPECT_EQ(OrvGlfwGame::TransKey(key), it == expected.end() ? 0 : it->second) << "key " << key;
    }
}

TEST(KeyTranslation, KeyToCharTable) {
    std::map<int, int> expected = {{8, 8}, {9, 9}, {13, 13}, {27, 27}, {45, 65536 + 45}, {46, 127}};
    for (int code = 33; code <= 40; ++code) expected[code] = 65536 + code;
    for (int code = -2; code <= 600; ++code) {
        const auto it = expected.find(code);
        EXPECT_EQ(OrvGlfwGame::KeyToChar(code), it == expected.end() ? 0 : it->second) << "code " << code;
    }
}

// Every key the installed library defines, with its classic code (-1: none).
const std::map<int, int>& LibraryToClassic() {
    static const std::map<int, int> table = [] {
        std::map<int, int> t = {
            {GLFW_KEY_SPACE, 32},          {GLFW_KEY_APOSTROPHE, 39},    {GLFW_KEY_COMMA, 44},
            {GLFW_KEY_MINUS, 45},          {GLFW_KEY_PERIOD, 46},        {GLFW_KEY_SLASH, 47},
            {GLFW_KEY_SEMICOLON, 59},      {GLFW_KEY_EQUAL, 61},         {GLFW_KEY_LEFT_BRACKET, 91},
            {GLFW_KEY_BACKSLASH, 92},      {GLFW_KEY_RIGHT_BRACKET, 93}, {GLFW_KEY_GRAVE_ACCENT, 96},
            {GLFW_KEY_WORLD_1, -1},        {GLFW_KEY_WORLD_2, -1},       {GLFW_KEY_ESCAPE, 257},
            {GLFW_KEY_ENTER, 294},         {GLFW_KEY_TAB, 293},          {GLFW_KEY_BACKSPACE, 295},
            {GLFW_KEY_INSERT, 296},        {GLFW_KEY_DELETE, 297},       {GLFW_KEY_RIGHT, 286},
            {GLFW_KEY_LEFT, 285},          {GLFW_KEY_DOWN, 284},         {GLFW_KEY_UP, 283},
            {GLFW_KEY_PAGE_UP, 298},       {GLFW_KEY_PAGE_DOWN, 299},    {GLFW_KEY_HOME, 300},
            {GLFW_KEY_END, 301},           {GLFW_KEY_CAPS_LOCK, 320},    {GLFW_KEY_SCROLL_LOCK, 321},
            {GLFW_KEY_NUM_LOCK, 319},      {GLFW_KEY_PRINT_SCREEN, -1},  {GLFW_KEY_PAUSE, 322},
            {GLFW_KEY_KP_DECIMAL, 316},    {GLFW_KEY_KP_DIVIDE, 312},    {GLFW_KEY_KP_MULTIPLY, 313},
            {GLFW_KEY_KP_SUBTRACT, 314},   {GLFW_KEY_KP_ADD, 315},       {GLFW_KEY_KP_ENTER, 318},
            {GLFW_KEY_KP_EQUAL, 317},      {GLFW_KEY_LEFT_SHIFT, 287},   {GLFW_KEY_LEFT_CONTROL, 289},
            {GLFW_KEY_LEFT_ALT, 291},      {GLFW_KEY_LEFT_SUPER, 323},   {GLFW_KEY_RIGHT_SHIFT, 288},
            {GLFW_KEY_RIGHT_CONTROL, 290}, {GLFW_KEY_RIGHT_ALT, 292},    {GLFW_KEY_RIGHT_SUPER, 324},
            {GLFW_KEY_MENU, 325},
        };
        for (int i = 0; i <= 9; ++i) t[GLFW_KEY_0 + i] = 48 + i;
        for (int i = 0; i < 26; ++i) t[GLFW_KEY_A + i] = 65 + i;
        for (int i = 0; i < 25; ++i) t[GLFW_KEY_F1 + i] = 258 + i;
        for (int i = 0; i <= 9; ++i) t[GLFW_KEY_KP_0 + i] = 302 + i;
        return t;
    }();
    return table;
}

TEST(LayerKeyCodes, EveryLibraryKeyGetsItsClassicCode) {
    const std::map<int, int>& table = LibraryToClassic();
    EXPECT_EQ(table.size(), 120u);  // every key the library header defines
    for (int key = -1; key <= GLFW_KEY_LAST + 5; ++key) {
        const auto it = table.find(key);
        EXPECT_EQ(GlfwKeyTo27(key), it == table.end() ? glfw27::KEY_UNKNOWN : it->second) << "key " << key;
    }
}

TEST(LayerKeyCodes, EveryClassicKeyMapsBackToItsLibraryKey) {
    std::map<int, int> back;
    for (const auto& [library, classic] : LibraryToClassic()) {
        if (classic != -1) back[classic] = library;
    }
    // Every classic special key exists in the library.
    for (int classic = glfw27::KEY_ESC; classic <= glfw27::KEY_LAST; ++classic) EXPECT_EQ(back.count(classic), 1u) << classic;
    for (int classic = -1; classic <= 400; ++classic) {
        const auto it = back.find(classic);
        EXPECT_EQ(Glfw27KeyToGlfw(classic), it == back.end() ? GLFW_KEY_UNKNOWN : it->second) << "classic " << classic;
    }
}

}  // namespace
