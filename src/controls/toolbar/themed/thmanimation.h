#pragma once
// The animation of themed popup menus: a mode chosen once and the effect each popup opens
// with.
//
// Main thread only.

#include <random>

namespace themed {

// Modes.
constexpr int amNone = 0;
constexpr int amSystem = 1;  // as the system's menu settings say
constexpr int amRandom = 2;
constexpr int amUnfold = 3;
constexpr int amSlide = 4;
constexpr int amFade = 5;

// Effects.
constexpr int aeNone = 0;
constexpr int aeUnfold = 1;
constexpr int aeSlide = 2;
constexpr int aeFade = 3;

class TThmMenuAnimation {
public:
    // The mode is clamped to amNone..amFade; amSystem becomes amNone while the system's menu
    // animation is off.
    explicit TThmMenuAnimation(int mode = amSystem);

    int Mode() const { return FMode; }
    // amSystem: none while the system's menu animation is off, else fade when the system
    // fades menus and slide otherwise (both settings read at each question); amRandom: one of the three effects; the fixed modes
    // their effect.
    int GetEffect();

private:
    int FMode;
    std::mt19937 FRandom;
};

// The process-wide menu animation (amSystem), kept by the application object.
TThmMenuAnimation& MenuAnimation();

}  // namespace themed
