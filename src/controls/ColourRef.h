#pragma once
// Colours as the window's state gives them: 0x00BBGGRR (255 is red,
// 12632256 silver, 0 black).

#include <cstdint>

#include <QColor>

namespace kestrane::controls {

inline QColor fromColourRef(std::uint32_t ref) {
    return QColor(static_cast<int>(ref & 0xFFu), static_cast<int>((ref >> 8) & 0xFFu),
                  static_cast<int>((ref >> 16) & 0xFFu));
}

}  // namespace kestrane::controls
