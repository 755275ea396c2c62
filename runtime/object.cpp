#include "runtime/object.h"

#include <functional>

int Object::Compare(Object* other) {
    std::less<Object*> less;
    if (less(this, other)) return -1;
    if (less(other, this)) return 1;
    return 0;
}
