// The slots the loader fills: m_Sounds (p_PlaySFX, p_PlaySFX2) and m_Images
// (p_DrawImg), named after what they hold.
#pragma once

namespace sfx {

enum : int {
    kSnip = 1,
    kBonus = 2,
    kBounce = 3,   // the ball off a hedge
    kFanfare = 4,  // the home opens
    kCaught = 5,   // by an enemy
    kLevelDone = 6,
    kCatch = 7,  // the ball, thrown or found
    kThrow = 8,
    kHit = 9,         // an enemy, by the ball
    kChime = 10,      // an item: the chimes climb with the combo...
    kLastChime = 21,  // ...and from the last one on, its rate
    kWarp = 95,
    kJingle = 96,
    kBlip = 98,  // the cursor
    kConfirm = 99
};

}  // namespace sfx

namespace img {

enum : int {
    kSprites = 1,  // the figure, enemies, ball, items and garden
    kBadges = 80,
    kFont = 90,
    kTestCard = 91,
    kLoaderLogo = 93,
    kDpad = 94,
    kButtons = 95,
    kParticles = 96,
    kIcons = 97,  // the pause icon, the cog and the pointer among them
    kLogo = 98,
    kMenu = 99
};

}  // namespace img
