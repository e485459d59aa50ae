#pragma once
// A clipboard that holds what the test puts in it and records its clearing.

#include "platform/Clipboard.h"

namespace kestrane::test {

class FakeClipboard final : public files::Clipboard {
public:
    std::optional<files::ClipboardContents> contents = files::ClipboardContents{};
    int clears = 0;

    std::optional<files::ClipboardContents> read() override { return contents; }
    void clear() override {
        ++clears;
        if (contents) *contents = files::ClipboardContents{};
    }
};

}  // namespace kestrane::test
