#include "scan/RowRepair.h"

#include "platform/Registry.h"
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

std::string_view rootAbbreviation(reg::Root root) {
    switch (root) {
    case reg::Root::CurrentUser:
        return "HKCU";
    case reg::Root::LocalMachine:
        return "HKLM";
    case reg::Root::ClassesRoot:
        break;
    }
    return "HKCR";
}

std::string locationText(reg::Root root, std::string_view keyPath) {
    return std::string(rootAbbreviation(root)) + '\\' + std::string(keyPath);
}

std::string locationPath(std::string_view location, std::string_view abbreviation) {
    return text::removeSubstring(abbreviation, location);
}

void deleteAtLocation(ScanContext& ctx, std::string_view location, std::initializer_list<reg::Root> roots,
                      const std::string& name, Deletes what) {
    // A subkey is named by one component: an empty name would be the key
    // itself, and a value name may hold '\' (from the root, or deeper).
    if (what == Deletes::Subkey && (name.empty() || name.find('\\') != std::string::npos))
        return;
    for (reg::Root root : roots) {
        reg::TRegistry r(ctx.store);
        r.setRootKey(root);
        if (!r.openKey(locationPath(location, rootAbbreviation(root)), false))
            continue;
        if (what == Deletes::Subkey)
            r.deleteKey(name);
        else
            r.deleteValue(name);
    }
}

}  // namespace kestrane
