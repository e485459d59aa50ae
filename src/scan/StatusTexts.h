#pragma once
// The status texts most table rows follow: "Status : Scanning X" before and
// "Status : Scanned X" after, some with two leading blanks.

#include <string>
#include <string_view>

#include "results/Category.h"

namespace kestrane::status {

inline StatusTexts scanning(std::string_view what, std::string_view lead = "") {
    return {std::string(lead) + "Status : Scanning " + std::string(what),
            std::string(lead) + "Status : Scanned " + std::string(what)};
}

inline StatusTexts repairing(std::string_view what, std::string_view lead = "") {
    return {std::string(lead) + "Status : Repairing " + std::string(what),
            std::string(lead) + "Status : Repaired " + std::string(what)};
}

}  // namespace kestrane::status
