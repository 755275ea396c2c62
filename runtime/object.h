// Root class of every class the game language declares.
#pragma once
#include "runtime/gc.h"
#include "runtime/string.h"

class Object : public gc_object {
public:
    virtual bool Equals(Object* other) { return this == other; }
    // Orders by address; the full pointer width is compared so the sign is
    // right on 64-bit machines.
    virtual int Compare(Object* other);
    virtual String debug() { return String(u"+Object\n", 8); }
};

// What the game language throws.
class ThrowableObject : public Object {};
