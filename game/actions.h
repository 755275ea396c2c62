// The player's actions, as the key map and the on-screen pad give them: the
// first argument of p_PlayKey and p_PlayKeyAll.
#pragma once

namespace action {

enum : int {
    kUp = 0,
    kLeft = 3,
    kRight = 5,
    kDown = 8,
    // The six buttons. A chooses; A, B and C throw the ball; D pauses on the
    // console; E and F step the overscan down and up; F opens the credits.
    kButtonA = 10,
    kButtonB = 11,
    kButtonC = 12,
    kButtonD = 13,
    kButtonE = 14,
    kButtonF = 15,
    kBack = 99
};

// Every action: one held keeps the key latch set.
inline constexpr int kAll[] = {kUp,      kLeft,    kRight,   kDown,    kButtonA, kButtonB,
                               kButtonC, kButtonD, kButtonE, kButtonF, kBack};

}  // namespace action
