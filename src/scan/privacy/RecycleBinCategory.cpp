// Recycle Bin: one row for every item of the prefix's recycle bin, when the
// shell is new enough to be asked (4.72 and later).

#include "platform/FileSystem.h"
#include "platform/RecycleBin.h"
#include "platform/SystemFolders.h"
#include "platform/TextOps.h"
#include "scan/privacy/PrivacyScanners.h"

namespace kestrane {

namespace {

constexpr std::uint64_t kShellVersion472 = 0x00040048;

}  // namespace

void recycle(ScanContext& ctx, ResultList& lvbin) {
    ctx.recycleCount = 0;
    const std::string shell32 = (ctx.folders ? ctx.folders->systemRoot : std::string()) + "\\system32\\shell32.dll";
    if (ctx.recycleBin && ctx.files && ctx.files->fileVersion(shell32) >= kShellVersion472) {
        files::RecycleBinContents c = ctx.recycleBin->query();
        ctx.recycleCount = static_cast<int>(c.items);  // the low half of the item count
        if (c.items != 0)
            lvbin.add(std::to_string(c.items) + " files in Recycle Bin",
                      {"Remove", text::sizeText(std::to_string(c.bytes))});
    }
    ctx.ramp(0, 100);
}

void removebin(ScanContext& ctx, ResultList& lvbin) {
    // The whole bin is emptied, whatever the row's check box says.
    if (ctx.recycleBin)
        (void)ctx.recycleBin->empty();
    lvbin.clear();
    ctx.ramp(0, 100);
    ctx.recycleCount = 0;
}

}  // namespace kestrane
