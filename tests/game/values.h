// Several numbers of mixed types as one value, so that the fields of one
// moment are checked together and a failure prints them side by side.
#pragma once
#include <vector>

template <class... T>
std::vector<double> Values(T... v) {
    return {static_cast<double>(v)...};
}
