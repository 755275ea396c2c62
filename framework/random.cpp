#include "framework/random.h"

#include <cmath>
#include <cstdint>

int orv_random_Seed = 1234;

// Levels and tunes are replayed from seeds, so the arithmetic is exact:
// modulo 2^32 in unsigned arithmetic (no signed overflow), 24 bits of the
// state scaled by 2^-24, and the rest in single precision.
float orv_random_Rnd() {
    const std::uint32_t state = static_cast<std::uint32_t>(orv_random_Seed) * 1664525u + 1013904223u;
    orv_random_Seed = static_cast<int>(state);
    return static_cast<float>(state >> 8) * (1.0f / 16777216.0f);
}

// With the top draw, low + Rnd × (high − low) can round up to high itself.
float orv_random_Rnd2(float low, float high) { return orv_random_Rnd() * (high - low) + low; }

float orv_random_Rnd3(float range) { return orv_random_Rnd() * range; }

int orv_math_Abs(int x) {
    return x >= 0 ? x : static_cast<int>(0u - static_cast<std::uint32_t>(x));
}

float orv_math_Abs2(float x) { return x >= 0 ? x : -x; }

int orv_math_Max(int a, int b) { return a >= b ? a : b; }

float orv_math_Max2(float a, float b) { return a > b ? a : b; }

namespace {
const float kDegToRad = 0.017453292f;
}

float orv_math_Sin(float degrees) { return static_cast<float>(std::sin(static_cast<double>(degrees * kDegToRad))); }

float orv_math_Cos(float degrees) { return static_cast<float>(std::cos(static_cast<double>(degrees * kDegToRad))); }

float orv_math_ATan2(float y, float x) {
    return static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)) * 57.29577951308232);
}

float orv_math_Sqrt(float x) { return static_cast<float>(std::sqrt(static_cast<double>(x))); }

float orv_math_Floor(float x) { return static_cast<float>(std::floor(static_cast<double>(x))); }
