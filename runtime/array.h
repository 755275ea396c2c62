// Fixed-length arrays whose storage is a collected object. Indexing is not
// checked: callers keep indices in range.
#pragma once
#include <climits>
#include <cstdlib>
#include <new>
#include <type_traits>

#include "runtime/gc.h"
#include "runtime/string.h"

template <class T>
class Array {
public:
    struct Rep : gc_object {
        int length;

        explicit Rep(int n) : length(n) {
            T* d = data();
            for (int i = 0; i < n; ++i) ::new (d + i) T();
        }
        explicit Rep(gc_object::static_tag tag) : gc_object(tag), length(0) {}
        ~Rep() override {
            T* d = data();
            for (int i = 0; i < length; ++i) d[i].~T();
        }
        T* data() { return reinterpret_cast<T*>(reinterpret_cast<char*>(this) + data_offset()); }
        void mark() override {
            if constexpr (std::is_pointer_v<T>) {
                using Pointee = std::remove_pointer_t<T>;
                if constexpr (std::is_base_of_v<gc_object, Pointee> || std::is_polymorphic_v<Pointee>) {
                    T* d = data();
                    for (int i = 0; i < length; ++i) {
                        if (d[i]) gc_mark_obj(gc_as_object(d[i]));
                    }
                }
            }
        }
    };

    // Shared by every empty array of this element type; its mark state never
    // matches the collector's, so it is never queued, moved or freed.
    static Rep nullRep;

    Array() : rep(&nullRep) {}
    explicit Array(int n) : rep(n > 0 ? create(n) : &nullRep) {}
    Array(const T* src, int n) : Array(n) {
        for (int i = 0; i < n; ++i) rep->data()[i] = src[i];
    }

    int Length() const { return rep->length; }
    T& operator[](int i) const { return rep->data()[i]; }
    T* begin() const { return rep->data(); }
    T* end() const { return rep->data() + rep->length; }

    Rep* rep;

private:
    static constexpr std::size_t data_offset() {
        return (sizeof(Rep) + alignof(T) - 1) / alignof(T) * alignof(T);
    }
    static Rep* create(int n) {
        // A block the collector can't size (a split of a text of hundreds of
        // megabytes) fails as an allocation does, instead of wrapping to a
        // small block that the elements would overrun.
        const std::size_t bytes = data_offset() + sizeof(T) * static_cast<std::size_t>(n);
        if (bytes > static_cast<std::size_t>(INT_MAX - 7)) std::abort();
        void* block = gc_object_alloc(static_cast<int>(bytes));
        return ::new (block) Rep(n);
    }
};

template <class T>
typename Array<T>::Rep Array<T>::nullRep{gc_object::static_tag{}};

// Write barrier for storing an array into a field or global.
template <class T>
inline void gc_assign(Array<T>& field, const Array<T>& value) {
    gc_mark_q(value.rep);
    field = value;
}
