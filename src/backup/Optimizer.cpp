#include "backup/Optimizer.h"

#include "platform/Registry.h"

namespace kestrane::backup {

namespace {

using reg::Root;

constexpr std::string_view kStart = "\\SOFTWARE\\Microsoft\\Windows\\";

struct Pass {
    ScanContext& ctx;
    OptimizerPanel& panel;
    Root root;
    std::string prefix;  // "HKCU\SOFTWARE\Microsoft\Windows\"
    int valueLevels;     // the deepest level whose values are listed

    static void bar(ProgressBar& b, std::size_t count, std::size_t at) {
        b.maximum = static_cast<int>(count) - 1;
        b.position = static_cast<int>(at);
    }
    void stepped() const {
        if (panel.stepped) panel.stepped(panel);
    }

    // A key at `level` (1 = directly below the start key), `path` its names
    // of levels 1 to n joined by "\".
    void visit(const std::string& path, int level) {
        const std::string key = std::string(kStart) + path;
        if (level <= valueLevels) {
            const auto values = reg::listValueNames(ctx.store, root, key);
            for (std::size_t j = 0; j < values.size(); ++j) {
                panel.labelvalues = values[j];
                bar(panel.PBNodes, values.size(), j);
                stepped();
            }
        }
        if (level >= 4)
            return;
        const auto subkeys = reg::listKeyNames(ctx.store, root, key);
        for (std::size_t i = 0; i < subkeys.size(); ++i) {
            const std::string child = path + "\\" + subkeys[i];
            panel.labelnode = prefix + child;
            if (level + 1 == 2)
                bar(panel.PBHive, subkeys.size(), i);
            stepped();
            visit(child, level + 1);
        }
    }

    void run(const std::string& hiveText) {
        panel.hivetext = hiveText;
        if (ctx.statusLabel) ctx.statusLabel(hiveText);
        const auto level1 = reg::listKeyNames(ctx.store, root, kStart);
        for (std::size_t i = 0; i < level1.size(); ++i) {
            panel.labelnode = prefix + level1[i];
            bar(panel.PBHive, level1.size(), i);
            stepped();
            visit(level1[i], 1);
        }
    }
};

}  // namespace

void optimize(ScanContext& ctx, OptimizerPanel& panel) {
    panel.labelsShown = true;
    panel.PBHive = {panel.PBHive.maximum, 0};
    panel.PBNodes = {panel.PBNodes.maximum, 0};
    Pass{ctx, panel, Root::CurrentUser, "HKCU\\SOFTWARE\\Microsoft\\Windows\\", 4}.run(
        "Current Hives: 1 of 2 - HKEY_CURRENT_USER");
    if (!reg::isVista(ctx.store)) {
        panel.PBNodes.position = 0;
        panel.PBHive.position = 0;
        // At the fourth level of the machine's hive only the keys' paths are shown.
        Pass{ctx, panel, Root::LocalMachine, "HKLM\\SOFTWARE\\Microsoft\\Windows\\", 3}.run(
            "Current Hives: 2 of 2 - HKEY_LOCAL_MACHINE");
    }
    panel.PBHive = {10, 10};
    panel.PBNodes = {10, 10};
    panel.hivetext = "Optimize Complete: Two Hives Completed";
    panel.labelnode.clear();
    panel.labelvalues = "Scan Complete...";
    if (ctx.statusLabel) ctx.statusLabel("");
}

}  // namespace kestrane::backup
