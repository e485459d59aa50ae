#pragma once
// The desktop clipboard for the privacy scan: its text, whether it holds a
// picture, and the files copied in a file manager, named as the programs of
// the prefix see them.

#include <functional>
#include <string>

#include "platform/Clipboard.h"

namespace kestrane::app {

class DesktopClipboard final : public files::Clipboard {
public:
    // `windowsPath` names a host path as the prefix's programs see it.
    explicit DesktopClipboard(std::function<std::string(const std::string& hostPath)> windowsPath)
        : m_windowsPath(std::move(windowsPath)) {}

    std::optional<files::ClipboardContents> read() override;
    void clear() override;

private:
    std::function<std::string(const std::string&)> m_windowsPath;
};

}  // namespace kestrane::app
