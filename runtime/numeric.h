// Float to Int as the game language converts: truncation toward zero. A value
// outside the Int range (or NaN) gives 0 instead of undefined behaviour.
#pragma once

inline int orvTrunc(float f) {
    if (!(f > -2147483648.0f && f < 2147483648.0f)) return 0;
    return static_cast<int>(f);
}
