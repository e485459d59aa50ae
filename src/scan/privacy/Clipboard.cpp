// Clipboard: a row for the text, one for a picture, one for each copied file.

#include "platform/Clipboard.h"
#include "scan/privacy/PrivacyScanners.h"

namespace kestrane {

namespace {

constexpr std::size_t kMaxPath = 260;

}  // namespace

void clip(ScanContext& ctx, ResultList& lvclip) {
    if (ctx.clipboard) {
        if (auto contents = ctx.clipboard->read()) {
            if (contents->text)
                lvclip.add(*contents->text, {"Remove", "Text File in Clipboard"});
            if (contents->picture)
                lvclip.add("Image File", {"Remove", "Image File in Clipboard"});
            for (const auto& file : contents->files)
                lvclip.add(file.substr(0, kMaxPath), {"Remove", "Path File in Clipboard"});
        }
    }
    ctx.ramp(0, 100);
}

void removeclip(ScanContext& ctx, ResultList& lvclip) {
    // The whole clipboard is emptied, whatever the check boxes say.
    if (ctx.clipboard)
        ctx.clipboard->clear();
    lvclip.clear();
    ctx.setProgress(0);
}

}  // namespace kestrane
