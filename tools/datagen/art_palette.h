// The colours all pictures share, so that sprites, menus and emblems look
// like one game: a warm garden palette with one dark ink for outlines.
#pragma once
#include "tools/datagen/raster.h"

namespace pal {

constexpr Rgba kInk = Hex(0x1e1a2c);
constexpr Rgba kNight = Hex(0x2b2747);

constexpr Rgba kLeaf0 = Hex(0x173b2e);
constexpr Rgba kLeaf1 = Hex(0x245f3a);
constexpr Rgba kLeaf2 = Hex(0x3a8a40);
constexpr Rgba kLeaf3 = Hex(0x6ab44a);
constexpr Rgba kLeaf4 = Hex(0xb2dc6c);

constexpr Rgba kSoil0 = Hex(0x3f2a1e);
constexpr Rgba kSoil1 = Hex(0x613f28);
constexpr Rgba kSoil2 = Hex(0x8c6038);
constexpr Rgba kSoil3 = Hex(0xb48452);
constexpr Rgba kSand = Hex(0xdcb87c);

constexpr Rgba kSkin = Hex(0xf4c59c);
constexpr Rgba kSkinShade = Hex(0xc98a68);
constexpr Rgba kHair = Hex(0x7a4a2a);

constexpr Rgba kRed = Hex(0xd9383c);
constexpr Rgba kRedDark = Hex(0x8e1f35);
constexpr Rgba kPink = Hex(0xf27a9c);
constexpr Rgba kRose = Hex(0xffb8c8);
constexpr Rgba kOrange = Hex(0xf28a2a);
constexpr Rgba kOrangeDark = Hex(0xa9511c);
constexpr Rgba kYellow = Hex(0xf9d64a);
constexpr Rgba kYellowPale = Hex(0xfff1a4);
constexpr Rgba kGold = Hex(0xf2b632);
constexpr Rgba kGoldDark = Hex(0xa8681a);

constexpr Rgba kBlue = Hex(0x3f6fd8);
constexpr Rgba kBlueDark = Hex(0x27357c);
constexpr Rgba kSky = Hex(0x8ccaf2);
constexpr Rgba kSkyPale = Hex(0xd2ecf8);
constexpr Rgba kPurple = Hex(0x8a4cc0);
constexpr Rgba kPurpleDark = Hex(0x4e2a7c);
constexpr Rgba kLavender = Hex(0xc6a4ea);
constexpr Rgba kTeal = Hex(0x2aa196);

constexpr Rgba kWhite = Hex(0xfbf7ec);
constexpr Rgba kGrey1 = Hex(0xd2d0ca);
constexpr Rgba kGrey2 = Hex(0x9c9aa2);
constexpr Rgba kGrey3 = Hex(0x64626f);
constexpr Rgba kGrey4 = Hex(0x3d3b4a);

}  // namespace pal
