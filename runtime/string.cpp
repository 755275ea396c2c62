#include "runtime/string.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/array.h"

String::Rep String::nullRep = {1, 0};

String::Rep* String::alloc(int length) {
    if (length <= 0) return &nullRep;
    void* block = std::malloc(sizeof(Rep) + static_cast<std::size_t>(length) * sizeof(char16_t));
    if (!block) std::abort();
    Rep* rep = static_cast<Rep*>(block);
    rep->refs = 1;
    rep->length = length;
    return rep;
}

void String::release(Rep* rep) {
    if (rep != &nullRep && rep->length && --rep->refs == 0) std::free(rep);
}

String::String(const char16_t* chars, int n) : rep_(alloc(n)) {
    if (n > 0) std::memcpy(rep_->data(), chars, static_cast<std::size_t>(n) * sizeof(char16_t));
}

String::String(const char* s) : rep_(alloc(static_cast<int>(std::strlen(s)))) {
    char16_t* d = rep_->data();
    for (int i = 0; i < rep_->length; ++i) {
        d[i] = static_cast<char16_t>(static_cast<signed char>(s[i]));
    }
}

String::String(int n) : String("") {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%i", n);
    *this = String(buf);
}

String::String(float f) : String("") {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", static_cast<double>(f));
    if (!std::strchr(buf, 'e') && !std::strchr(buf, '.')) std::strcat(buf, ".0");
    *this = String(buf);
}

String& String::operator=(const String& other) {
    retain(other.rep_);
    release(rep_);
    rep_ = other.rep_;
    return *this;
}

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        release(rep_);
        rep_ = other.rep_;
        other.rep_ = &nullRep;
    }
    return *this;
}

bool String::operator==(const String& other) const {
    if (rep_ == other.rep_) return true;
    return rep_->length == other.rep_->length &&
           std::memcmp(rep_->data(), other.rep_->data(),
                       static_cast<std::size_t>(rep_->length) * sizeof(char16_t)) == 0;
}

String String::operator+(const String& other) const {
    if (!rep_->length) return other;
    if (!other.rep_->length) return *this;
    Rep* rep = alloc(rep_->length + other.rep_->length);
    std::memcpy(rep->data(), rep_->data(), static_cast<std::size_t>(rep_->length) * 2);
    std::memcpy(rep->data() + rep_->length, other.rep_->data(),
                static_cast<std::size_t>(other.rep_->length) * 2);
    return String(rep);
}

int String::Find(const String& sub, int start) const {
    if (start < 0) start = 0;
    const int n = sub.Length();
    // Bounded by Length() - n rather than start + n, which overflows for a
    // start near INT_MAX.
    for (; start <= Length() - n; ++start) {
        if (std::memcmp(Data() + start, sub.Data(), static_cast<std::size_t>(n) * 2) == 0) return start;
    }
    return -1;
}

String String::Slice(int from, int to) const {
    const int len = Length();
    if (from < 0) {
        from += len;
        if (from < 0) from = 0;
    } else if (from > len) {
        from = len;
    }
    if (to < 0) {
        to += len;
        if (to < 0) to = 0;
    } else if (to > len) {
        to = len;
    }
    if (to < from) return String();
    if (from == 0 && to == len) return *this;
    return String(Data() + from, to - from);
}

Array<String> String::Split(const String& sep) const {
    if (!sep.Length()) {
        Array<String> parts(Length());
        for (int i = 0; i < Length(); ++i) parts[i] = String(Data() + i, 1);
        return parts;
    }
    int count = 1;
    for (int i = Find(sep); i != -1; i = Find(sep, i + sep.Length())) ++count;
    Array<String> parts(count);
    if (count == 1) {
        parts[0] = *this;
        return parts;
    }
    int begin = 0;
    for (int k = 0; k < count; ++k) {
        int end = Find(sep, begin);
        if (end == -1) end = Length();
        parts[k] = Slice(begin, end);
        begin = end + sep.Length();
    }
    return parts;
}

String String::Replace(const String& find, const String& repl) const {
    const int n = find.Length();
    if (!n) return *this;  // an empty text matches everywhere: nothing sensible to replace
    int matches = 0;
    for (int i = Find(find); i != -1; i = Find(find, i + n)) ++matches;
    if (!matches) return *this;
    Rep* rep = alloc(Length() + matches * (repl.Length() - n));
    char16_t* out = rep->data();
    int pos = 0;
    for (int i = Find(find); i != -1; i = Find(find, i + n)) {
        std::memcpy(out, Data() + pos, static_cast<std::size_t>(i - pos) * 2);
        out += i - pos;
        std::memcpy(out, repl.Data(), static_cast<std::size_t>(repl.Length()) * 2);
        out += repl.Length();
        pos = i + n;
    }
    std::memcpy(out, Data() + pos, static_cast<std::size_t>(Length() - pos) * 2);
    return String(rep);
}

int String::ToInt() const {
    char buf[64];
    const int n = Length() < 63 ? Length() : 63;
    for (int i = 0; i < n; ++i) buf[i] = static_cast<char>(Data()[i] & 0xff);
    buf[n] = 0;
    // The C library's atoi is strtol cut to int, but leaves numbers beyond
    // a long undefined; a hand-edited state file may hold them. strtol
    // clamps those, and the cut to 32 bits wraps as atoi does here.
    return static_cast<int>(static_cast<unsigned>(std::strtol(buf, nullptr, 10)));
}

std::string String::ToUtf8() const {
    std::string out;
    out.reserve(static_cast<std::size_t>(Length()));
    for (int i = 0; i < Length(); ++i) {
        const unsigned u = Data()[i];
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | u >> 6);
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | u >> 12);
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::string String::ToBytes() const {
    std::string out(static_cast<std::size_t>(Length()), '\0');
    for (int i = 0; i < Length(); ++i) out[static_cast<std::size_t>(i)] = static_cast<char>(Data()[i] & 0xff);
    return out;
}

namespace {

bool is_continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes UTF-8 of up to three bytes per character; false on anything else.
bool decode_utf8(const unsigned char* p, std::size_t n, std::vector<char16_t>& out) {
    std::size_t i = 0;
    while (i < n) {
        const unsigned b0 = p[i];
        if (b0 < 0x80) {
            out.push_back(static_cast<char16_t>(b0));
            i += 1;
        } else if ((b0 & 0xE0) == 0xC0 && i + 1 < n && is_continuation(p[i + 1])) {
            out.push_back(static_cast<char16_t>((b0 & 0x1F) << 6 | (p[i + 1] & 0x3F)));
            i += 2;
        } else if ((b0 & 0xF0) == 0xE0 && i + 2 < n && is_continuation(p[i + 1]) && is_continuation(p[i + 2])) {
            out.push_back(static_cast<char16_t>(b0 << 12 | (p[i + 1] & 0x3F) << 6 | (p[i + 2] & 0x3F)));
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace

String String::Load(std::FILE* file) {
    std::vector<unsigned char> bytes;
    unsigned char block[4096];
    for (;;) {
        const std::size_t got = std::fread(block, 1, sizeof block, file);
        bytes.insert(bytes.end(), block, block + got);
        if (got < sizeof block) break;
    }
    const std::size_t n = bytes.size();
    const unsigned char* p = bytes.data();
    std::vector<char16_t> chars;

    if (n >= 2 && ((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF))) {
        const bool little = p[0] == 0xFF;
        for (std::size_t i = 2; i + 1 < n; i += 2) {
            const unsigned lo = little ? p[i] : p[i + 1];
            const unsigned hi = little ? p[i + 1] : p[i];
            chars.push_back(static_cast<char16_t>(hi << 8 | lo));
        }
    } else {
        const std::size_t skip = (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) ? 3 : 0;
        return FromUtf8(std::string(bytes.begin() + static_cast<std::ptrdiff_t>(skip), bytes.end()));
    }
    return String(chars.data(), static_cast<int>(chars.size()));
}

String String::FromUtf8(const std::string& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    std::vector<char16_t> chars;
    if (!decode_utf8(p, text.size(), chars)) chars.assign(p, p + text.size());
    return String(chars.data(), static_cast<int>(chars.size()));
}
