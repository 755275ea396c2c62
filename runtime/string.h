// Immutable text of 16-bit units with a shared, reference-counted body.
#pragma once
#include <cstdio>
#include <string>

template <class T>
class Array;

class String {
public:
    struct Rep {
        int refs;
        int length;
        char16_t* data() { return reinterpret_cast<char16_t*>(this + 1); }
        const char16_t* data() const { return reinterpret_cast<const char16_t*>(this + 1); }
    };
    // Shared by every empty string; never counted and never freed.
    static Rep nullRep;

    String() : rep_(&nullRep) {}
    String(const char16_t* chars, int n);
    String(const char* s);
    explicit String(int n);
    explicit String(float f);
    String(const String& other) : rep_(other.rep_) { retain(rep_); }
    String(String&& other) noexcept : rep_(other.rep_) { other.rep_ = &nullRep; }
    ~String() { release(rep_); }
    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;

    int Length() const { return rep_->length; }
    char16_t operator[](int i) const { return rep_->data()[i]; }
    const char16_t* Data() const { return rep_->data(); }
    const Rep* rep() const { return rep_; }

    bool operator==(const String& other) const;
    bool operator!=(const String& other) const { return !(*this == other); }
    String operator+(const String& other) const;
    String& operator+=(const String& other) { return *this = *this + other; }

    int Find(const String& sub, int start = 0) const;
    String Slice(int from) const { return Slice(from, Length()); }
    String Slice(int from, int to) const;
    Array<String> Split(const String& sep) const;
    String Replace(const String& find, const String& repl) const;
    int ToInt() const;
    std::string ToUtf8() const;
    // The text with every unit cut to its low byte, for C library calls.
    std::string ToBytes() const;

    // Reads a whole open file: UTF-16 with either byte-order mark, else
    // UTF-8 (up to three-byte forms), else one character per byte.
    static String Load(std::FILE* file);
    // UTF-8 text (bytes taken one by one where it is not UTF-8).
    static String FromUtf8(const std::string& text);

private:
    explicit String(Rep* rep) : rep_(rep) {}
    static Rep* alloc(int length);
    static void retain(Rep* rep) {
        if (rep->length) ++rep->refs;
    }
    static void release(Rep* rep);

    Rep* rep_;
};
