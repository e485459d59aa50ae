#include "scan/RowRepair.h"

#include "platform/TextOps.h"

namespace kestrane {

void repairCheckedRows(ScanContext& ctx, ResultList& list, const std::function<void(const ResultRow&)>& deleteRow) {
    ResultList LVback("LVback", list.columns());
    ctx.ramp(0, 30);
    for (const ResultRow& row : list.rows()) {
        if (row.checked)
            deleteRow(row);
        else
            LVback.rows().push_back(row);
    }
    list.clear();
    ctx.ramp(30, 100);
    for (ResultRow& row : LVback.rows()) {
        row.checked = false;
        list.rows().push_back(std::move(row));
    }
}

void stepProgress(ScanContext& ctx, int limit) {
    if (ctx.progress < limit)
        ctx.setProgress(ctx.progress + 1);
    ctx.pacer.pause(ScanContext::kStepMilliseconds);
}

std::string locationPath(std::string_view location, std::string_view abbreviation) {
    return text::removeSubstring(abbreviation, location);
}

}  // namespace kestrane
