// Strings: conversions, rep sharing, search, slices, splits, file decoding.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/array.h"
#include "tests/game/values.h"

namespace {

using Parts = std::vector<std::string>;

std::string u8(const String& s) { return s.ToUtf8(); }
std::u16string u16(const String& s) { return std::u16string(s.Data(), static_cast<std::size_t>(s.Length())); }

Parts split(const char* s, const char* sep) {
    Parts out;
    for (const String& part : String(s).Split(String(sep))) out.push_back(u8(part));
    return out;
}

String load(const std::string& bytes) {
    std::FILE* f = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::rewind(f);
    String s = String::Load(f);
    std::fclose(f);
    return s;
}

TEST(String, Conversions) {
    const char16_t units[] = {0x41, 0x7F, 0x80, 0x7FF, 0x800, 0xFFFF};
    EXPECT_EQ((Parts{u8(String(7.0f)), u8(String(0.25f)), u8(String(0.1f)), u8(String(-2)), u8(String(units, 6))}),
              (Parts{"7.0", "0.25", "0.10000000149011612", "-2", "\x41\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"}));
    EXPECT_EQ(String("\xE9")[0], 0xFFE9);  // bytes widen as signed chars
    // At most 63 characters are read.
    EXPECT_EQ(Values(String("  42xyz").ToInt(), String("abc").ToInt(),
                     (String(std::string(62, ' ').c_str()) + String("12345")).ToInt()),
              Values(42, 0, 1));
}

TEST(String, UnchangedTextSharesTheRepAndTheEmptyRepIsNeverFreed) {
    const String a("hello");
    EXPECT_EQ((std::vector<const void*>{(a + String()).rep(), (String() + a).rep(), a.Slice(-10).rep(),
                                        a.Replace(String("x"), String("y")).rep()}),
              std::vector<const void*>(4, a.rep()));
    {
        String b(a), c;
        c = b;
        c = c;
        EXPECT_EQ(a.rep()->refs, 3);
    }
    EXPECT_EQ(a.rep()->refs, 1);
    EXPECT_EQ(a.Split(String("|"))[0].rep(), a.rep());  // the array keeps a reference till it is collected
    EXPECT_EQ(u8(a + String(" you")), "hello you");

    // The empty rep is never counted or freed.
    for (int i = 0; i < 1000; ++i) {
        String e, b(e), c(u"", 0);
        c = e;
        b = String("x").Slice(1);
    }
    EXPECT_EQ(Values(String::nullRep.refs, String::nullRep.length), Values(1, 0));
    EXPECT_EQ(u8(String() + String("ok")), "ok");
}

TEST(String, CompareFindAndSlice) {
    EXPECT_TRUE(String("xabc").Slice(1) == String("abc"));  // equal text in two reps
    EXPECT_FALSE(String("ab") == String("ac"));              // every unit counts
    EXPECT_FALSE(String("ab") == String("abc"));
    // A start past the end finds nothing, also next to the largest int.
    const auto find = [](const char* s, int from) { return String("abcabc").Find(String(s), from); };
    EXPECT_EQ(Values(find("c", 3), find("bc", -4), find("abcabcd", 0), find("", -3), find("", 6), find("", 7),
                     find("c", INT_MAX), find("bc", INT_MAX - 1)),
              Values(5, 1, -1, 0, 6, -1, -1, -1));
    const String h("hello");
    EXPECT_EQ((Parts{u8(h.Slice(-3)), u8(h.Slice(1, -1)), u8(h.Slice(4, 99))}), (Parts{"llo", "ell", "o"}));
    EXPECT_EQ(h.Slice(3, 1).rep(), &String::nullRep);
}

TEST(String, SplitAndReplace) {
    EXPECT_EQ((std::vector<Parts>{split("a||b", "|"), split("abc|", "|"), split("", "|"), split("ab", ""),
                                  split("aaa", "aa")}),
              (std::vector<Parts>{{"a", "", "b"}, {"abc", ""}, {""}, {"a", "b"}, {"", "a"}}));
    EXPECT_EQ(String().Split(String()).rep, &Array<String>::nullRep);
    EXPECT_EQ(u8(String("aaaa").Replace(String("aa"), String("b-"))), "b-b-");
    EXPECT_EQ(String("aa").Replace(String("a"), String()).rep(), &String::nullRep);
    const String text("text");
    EXPECT_EQ(text.Replace(String(), String("x")).rep(), text.rep());  // nothing to find: unchanged
}

TEST(String, LoadDecodesUtf16AndUtf8OrFallsBackToBytes) {
    // UTF-16 either way round (an odd last byte dropped), UTF-8 after its mark.
    const std::string utf16[] = {{"\xFF\xFE" "A\0B\0", 6}, {"\xFE\xFF\0A\x20\xAC", 6}, {"\xFF\xFE" "A\0B", 5}};
    EXPECT_EQ((std::vector<std::u16string>{u16(load(utf16[0])), u16(load(utf16[1])), u16(load(utf16[2])),
                                           u16(load("\xEF\xBB\xBF" "A\xC3\xA9\xE2\x82\xAC"))}),
              (std::vector<std::u16string>{u"AB", u"A\u20AC", u"A", u"A\u00E9\u20AC"}));
    EXPECT_EQ(load("\xEF\xBB\xBF").rep(), &String::nullRep);
    EXPECT_EQ(load("").rep(), &String::nullRep);
    const String big = load(std::string(8193, 'x') + "\xC3\xA9");  // three read blocks
    ASSERT_EQ(big.Length(), 8194);
    EXPECT_EQ(big[8193], 0xE9);
    // Not UTF-8 after all: one character per byte; a mark stays skipped; truncated at the end.
    EXPECT_EQ((std::vector<std::u16string>{u16(load("a\xC3\xA9\xF0" "b")), u16(load("\xEF\xBB\xBF\xE9x")),
                                           u16(load("ab\xE2\x82")), u16(load("ab\xC3"))}),
              (std::vector<std::u16string>{u"a\u00C3\u00A9\u00F0b", u"\u00E9x", u"ab\u00E2\u0082", u"ab\u00C3"}));
}

}  // namespace
