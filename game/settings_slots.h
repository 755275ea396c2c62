// The slots of m_Settings the game uses; the rest are stored and kept.
#pragma once

namespace setting {

enum : int {
    kSoundMode = 5,
    kPadX = 10,  // the on-screen pad's place, virtual units
    kPadY = 11,
    kPadSize = 12,
    kOverscan = 14,
    kCount = 25
};

}  // namespace setting
