// Layout of the play records shared by gameplay, level generation and the
// enemies: the garden's cells, the player record and the enemy records.
#pragma once
#include "runtime/array.h"

namespace play {

// The garden: 32 × 32 cells of ten ints; columns 0-20 and rows 0-12 are played.
enum : int {
    kGardenSide = 32,
    kCellInts = 10,
    kHedge = 0,    // 1 hedge, 0 cut ground
    kContent = 1,  // what lies on the cell, also its sprite frame
    kColumns = 21,
    kRows = 13,
    kStartX = 10,
    kStartY = 10
};

// Cell contents.
enum : int {
    kNothing = 0,
    kBall = 10,
    kBonusBall = 11,  // left where the ball struck an enemy
    kBorder = 16,
    kFirstItem = 18,
    kLastItem = 25
};

inline int CellIndex(int x, int y) { return (y * kGardenSide + x) * kCellInts; }

inline bool InStorage(int x, int y) { return x >= 0 && x < kGardenSide && y >= 0 && y < kGardenSide; }

// A cell beyond the storage reads as hedge, so nothing can leave the garden
// through it.
inline int HedgeAt(const Array<int>& garden, int x, int y) {
    return InStorage(x, y) ? garden[CellIndex(x, y) + kHedge] : 1;
}

// The player record: the first hundred floats of m_Player.
enum : int {
    kPX = 1,
    kPY = 2,
    kPDX = 3,
    kPDY = 4,
    kFacing = 5,
    kWalk = 6,
    kScreenX = 8,
    kScreenY = 9,
    kHolding = 10,
    kAim = 16,
    kBallScreenX = 18,
    kBallScreenY = 19,
    kState = 25
};

// An enemy record: ten floats per slot of m_Enemies.
enum : int {
    kEActive = 0,
    kEX = 1,
    kEY = 2,
    kEDX = 3,
    kEDY = 4,
    kEReleased = 5,
    kEAnim = 6,
    kEDir = 7,
    kESteps = 8,
    kEPrev = 9,
    kEnemyRecord = 10,
    kEnemySlots = 10
};

// Directions of the walks and the enemies.
enum : int { kNone = 0, kUp = 1, kRight = 2, kDown = 3, kLeft = 4 };

}  // namespace play
