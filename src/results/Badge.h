#pragma once
// The three count badges: Oberror (the category view shown), obmainerror
// (the summary's registry errors) and obpriv (the summary's privacy threats,
// or recent lists in applications mode). A badge with a count blinks: each
// tick of its timer switches the frame between red and silver.

#include <cstdint>
#include <string>

#include "results/Category.h"

namespace kestrane {

constexpr std::uint32_t kColourBlack = 0;
constexpr std::uint32_t kColourRed = 255;
constexpr std::uint32_t kColourSilver = 12632256;

// n + " Errors Found" or "No Errors Found", in the family's wording.
std::string badgeCaption(BadgeFamily family, int count);

struct Badge {
    std::string name{};   // "Oberror"
    std::string timer{};  // its blink timer: "Timer1"
    std::string caption{};
    std::uint32_t colour = kColourBlack;
    bool blinking = false;  // the blink timer is enabled
    bool visible = false;

    // A count: red, its caption, blinking. Zero: black, the zero caption; the
    // timer stops only when stopAtZero (the view openers leave it alone).
    void setCount(BadgeFamily family, int count, bool stopAtZero);
    // One tick of the blink timer.
    void tick();
};

}  // namespace kestrane
