// Progressive Registry Analysis: the values below SOFTWARE of both hives whose
// text, cleaned by the rules of its level, names a file or folder that does
// not exist (below the machine's Wow6432Node, as a 32-bit program sees the
// files).

#include <optional>

#include "platform/FileSystem.h"
#include "platform/LaunchProbe.h"
#include "platform/Registry.h"
#include "platform/SystemFolders.h"
#include "platform/Text.h"
#include "platform/TextOps.h"
#include "platform/Wow64.h"
#include "scan/RowRepair.h"
#include "scan/registry/RegistryScanners.h"

namespace kestrane {

using reg::Root;
using reg::TRegistry;

namespace {

// The first piece that the split-text operation gives (empty for an empty
// text or a leading separator): the text up to the first separator.
std::string firstPiece(std::string_view text, char separator) {
    return std::string(text.substr(0, text.find(separator)));
}

// Position of the first occurrence of `r` in `d`, counted from 1 (0: none).
std::size_t positionOf(std::string_view r, std::string_view d) {
    if (r.empty())
        return 0;
    auto at = d.find(r);
    return at == std::string_view::npos ? 0 : at + 1;
}

// The cleaning and qualification rules of the progressive analysis: the
// path to test, or nothing when the value does not qualify.
std::optional<std::string> cleanedPath(int level, bool machinePass, std::string d, std::string_view r) {
    using text::removeSubstring;
    switch (level) {
    case 1:
        if (positionOf(r, d) != 1)
            return std::nullopt;
        return d;
    case 2:
        d = removeSubstring("file://", d);
        if (positionOf(r, d) != 1)
            return std::nullopt;
        return firstPiece(d, ',');
    case 3:
        if (machinePass) {
            auto pos = positionOf(r, d);
            if (pos != 1 && pos != 2)
                return std::nullopt;
            d = removeSubstring("\",0", d);
            d = removeSubstring("\"", d);
            d = removeSubstring("@", d);
        } else if (positionOf(r, d) != 1) {
            return std::nullopt;
        }
        return firstPiece(d, ',');
    case 4:
        d = removeSubstring("$(BDS)\\lib;", d);
        if (positionOf(r, d) != 1)
            return std::nullopt;
        d = removeSubstring("-nodefault -nologo", d);
        return firstPiece(firstPiece(d, ','), '/');
    default: {
        d = removeSubstring("n;1;", d);
        auto pos = positionOf(r, d);
        if (pos != 1 && pos != 2)
            return std::nullopt;
        static const char* const patterns[] = {
            "-nodefault -nologo",
            "--one-instance --playlist-enqueue \"%1\"",
            "--no-playlist-enqueue \"%1\"",
            "\"%1\" %*",
            "\"%1\"",
            "%1",
            ";",
        };
        for (const char* p : patterns)
            d = removeSubstring(p, d);
        d += "\\\\\\";
        d = removeSubstring("\\\\\\\\", d);
        d = removeSubstring("\\\\\\", d);
        d = removeSubstring("\"", d);
        return firstPiece(firstPiece(d, ','), '/');
    }
    }
}

struct DeepWalk {
    ScanContext& ctx;
    ResultList& list;
    bool machinePass;
    int lastLevel;
    std::string_view driveRoot;
    // The files and the launch probe of the view being walked: below the
    // machine's Wow6432Node, those of a 32-bit program.
    files::FileSystem* files = ctx.files;
    const files::LaunchProbe* probe = ctx.probe;

    bool absent(const std::string& path) const {
        return !files || !files->pathExists(path);
    }

    // One key at `level` (1 = directly below SOFTWARE) and everything below it.
    void walk(const reg::KeyHandle& key, int level, const std::string& location, bool underUninstall) {
        if (ctx.store.isLink(key))
            return;  // links are opaque: their target is scanned where it lives
        if (ctx.letMessagesRun)
            ctx.letMessagesRun();  // before every key: the window repaints during the walk
        if (ctx.statusLabel)
            ctx.statusLabel(location);
        reg::Key* k = key.primary();
        if (!k)
            return;
        if (!(level == 5 && underUninstall)) {
            k->forEachValue([&](const reg::Value& v) {
                auto path = cleanedPath(level, machinePass, reg::bufferedText(v), driveRoot);
                if (!path || !absent(*path))
                    return;
                // The text may be a command line of a program that exists.
                if (probe && probe->probe(*path, 0) != 1)
                    return;
                list.add(*path, {"Missing Path(Removable)", v.name.empty() ? "(Default)" : v.name, location});
            });
        }
        if (level >= lastLevel)
            return;
        // Each subkey opened with full access, as a key of one hive: on a
        // hive that cannot be written none opens, and contributes nothing.
        if (!ctx.store.writable(key.root))
            return;
        for (reg::Key* sub : k->subkeys()) {
            if (sub->deleted())
                continue;
            const std::string name(sub->name());
            reg::KeyHandle child;
            child.root = key.root;
            (key.root == Root::CurrentUser ? child.user : child.machine) = sub;
            child.writable = true;
            // The 32-bit classes (Software\Classes\Wow6432Node) name files
            // as a 32-bit program sees them.
            const bool classes32 = machinePass && ctx.wow64 && level == 1 && files != ctx.wow64->files &&
                                   text::equalNames(name, reg::kWow64Node) && endsWithName(location, "Classes");
            if (classes32) use32(true);
            walk(child, level + 1, location + '\\' + name, level + 1 == 4 ? name == "Uninstall" : underUninstall);
            if (classes32) use32(false);
        }
    }

    void use32(bool view32) {
        files = view32 ? ctx.wow64->files : ctx.files;
        probe = view32 ? ctx.wow64->probe : ctx.probe;
    }

    static bool endsWithName(const std::string& location, std::string_view name) {
        const auto slash = location.rfind('\\');
        return text::equalNames(std::string_view(location).substr(slash == std::string::npos ? 0 : slash + 1), name);
    }

    void pass(Root root, const std::string& prefix, int limit) {
        auto software = ctx.store.openKey(root, "SOFTWARE", reg::KEY_ALL_ACCESS);
        if (!software)
            return;
        for (const std::string& name : ctx.store.subkeyNames(*software)) {
            use32(machinePass && ctx.wow64 && text::equalNames(name, reg::kWow64Node));
            if (auto key = ctx.store.openKey(root, "SOFTWARE\\" + name, reg::KEY_ALL_ACCESS))
                walk(*key, 1, prefix + name, false);
            if (ctx.progress < limit)
                ctx.setProgress(ctx.progress + 1);
        }
    }
};

}  // namespace

void Deep(ScanContext& ctx, ResultList& LV2) {
    const std::string driveRoot = ctx.folders ? ctx.folders->systemDriveRoot : "";
    ctx.ramp(0, 10);
    DeepWalk machine{ctx, LV2, true, 4, driveRoot};
    machine.pass(Root::LocalMachine, "HKLM\\SOFTWARE\\", 60);
    DeepWalk user{ctx, LV2, false, 5, driveRoot};
    user.pass(Root::CurrentUser, "HKCU\\SOFTWARE\\", 80);
    ctx.ramp(80, 100);
    if (ctx.statusLabel)
        ctx.statusLabel("");
}

void removeda(ScanContext& ctx, ResultList& LV2) {
    repairCheckedRows(ctx, LV2, [&](const ResultRow& row) {
        for (auto [root, abbreviation] : {std::pair{Root::LocalMachine, "HKLM"}, std::pair{Root::CurrentUser, "HKCU"}}) {
            const std::string path = locationPath(row.subitem(2), abbreviation);
            TRegistry reg(ctx.store);
            reg.setRootKey(root);
            if (!reg.openKey(path, false))
                continue;
            if (row.subitem(1) != "(Default)")
                reg.deleteValue(row.subitem(1));
            else
                reg::regWriteString(ctx.store, root, path, "", "");
        }
    });
}

}  // namespace kestrane
