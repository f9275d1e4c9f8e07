#include "render/scenes.h"

#include <iterator>

namespace {
constexpr Color kSun = 0x86BEF4;
constexpr Color kPaleSun = 0xCFE5E1;
}  // namespace

// In the order of Scene. Colours are 0x00BBGGRR: sky top and bottom, far, near, structure, ground.
// clang-format off
const SceneLook kScenes[] = {
    {"CONNECTED CITY", 0x2A170D, 0x523D23, 0x41301D, 0x483F20, 0x3A2716, 0x5B672A,
     kStars, 0,
     Buildings::houses, kNarrowRow, {80, 29, 47, 107}, false, Machines::none, false},
    {"SMART INDUSTRY", 0x522643, 0x616BC2, 0x633F5D, 0x5C4043, 0x4C2F31, 0x5D4E67,
     kSunAndClouds, kSun,
     Buildings::factories, kNarrowRow, {38, 23, 31, 32}, false, Machines::cranes_and_robot_arms, true},
    {"CONNECTED COUNTRYSIDE", 0x6D501E, 0xA3A173, 0x84744C, 0x64572C, 0x4C4427, 0x546839,
     kSunAndClouds | kMountains | kFields, kSun,
     Buildings::barns, kBarnRow, {26, 0, 17, 24}, true, Machines::turbines, true},
    {"SNOWY PEAKS", 0x754E33, 0xCCBFA1, 0xA98F6F, 0x8F6D4C, 0x6F5139, 0xB3A085,
     kSunAndClouds | kMountains | kSnowCaps, kPaleSun,
     Buildings::houses, kWideRow, {38, 23, 31, 68}, true, Machines::cabinets, false},
    {"DESERT OUTPOST", 0x423968, 0x6594CD, 0x53659C, 0x434D79, 0x414260, 0x466791,
     kSunAndClouds | kMountains, kSun,
     Buildings::houses, kWideRow, {38, 23, 31, 68}, true, Machines::cabinets, false},
    {"MOONLIT COAST", 0x4E2613, 0x886A3A, 0x6B4C23, 0x5B401C, 0x52351C, 0x776D2D,
     kStars | kMoonAndSea, 0,
     Buildings::houses, kNarrowRow, {38, 23, 31, 68}, true, Machines::buoys, false},
};
// clang-format on
static_assert(std::size(kScenes) == kSceneCount, "one row per scene");
