#include "results/Badge.h"

namespace kestrane {

std::string badgeCaption(BadgeFamily family, int count) {
    const char* what = "Errors";
    if (family == BadgeFamily::Privacy) what = "Privacy Threats";
    if (family == BadgeFamily::Recentlist) what = "Recentlist";
    if (count == 0) return std::string("No ") + what + " Found";
    return std::to_string(count) + " " + what + " Found";
}

void Badge::setCount(BadgeFamily family, int count, bool stopAtZero) {
    caption = badgeCaption(family, count);
    if (count != 0) {
        colour = kColourRed;
        blinking = true;
    } else {
        colour = kColourBlack;
        if (stopAtZero) blinking = false;
    }
}

void Badge::tick() {
    if (!blinking) return;
    colour = colour == kColourRed ? kColourSilver : kColourRed;
}

}  // namespace kestrane
