#include "scan/registry/RegistryScanners.h"

#include "platform/FileSystem.h"
#include "platform/LaunchProbe.h"
#include "platform/Registry.h"
#include "platform/SystemFolders.h"
#include "platform/TextOps.h"
#include "scan/RowRepair.h"

namespace kestrane {

using reg::Root;
using reg::TRegistry;

namespace {

constexpr std::string_view kRunCU = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view kRunOnceCU = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr std::string_view kRunLM = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view kUninstall = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr std::string_view kFileExts = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
constexpr std::string_view kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::vector<std::string> names(TRegistry& reg, bool keys) {
    std::vector<std::string> list;
    keys ? reg.getKeyNames(list) : reg.getValueNames(list);
    return list;
}

// Opens a key with a new wrapper and deletes one value or subtree there.
void deleteIn(ScanContext& ctx, Root root, const std::string& keyPath, const std::string& name, bool subkey) {
    TRegistry reg(ctx.store);
    reg.setRootKey(root);
    if (!reg.openKey(keyPath, false))
        return;
    subkey ? reg.deleteKey(name) : reg.deleteValue(name);
}

// Key 1 to 3 of the startup scan.
void scanRunKey(ScanContext& ctx, ResultList& lvsp, Root root, std::string_view readPath, const std::string& location) {
    TRegistry reg(ctx.store);
    reg.setRootKey(root);
    std::vector<std::string> list;
    if (reg.openKey("\\" + std::string(readPath), false))
        reg.getValueNames(list);
    for (const auto& name : list) {
        std::string command = reg::regReadString(ctx.store, root, readPath, name);
        if (ctx.probe && ctx.probe->probe(command, 0) != 1)
            continue;
        lvsp.add(name, {"Missing Startup Application(Remove)", command, location});
    }
}

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

    bool absent(const std::string& path) const {
        return !ctx.files || !ctx.files->pathExists(path);
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
                if (ctx.probe && ctx.probe->probe(*path, 0) != 1)
                    return;
                list.add(*path, {"Missing Path(Removable)", v.name.empty() ? "(Default)" : v.name, location});
            });
        }
        if (level >= lastLevel)
            return;
        for (const std::string& name : ctx.store.subkeyNames(key)) {
            auto child = ctx.store.openSubkey(key, name, reg::KEY_ALL_ACCESS);
            if (!child)
                continue;  // a key that cannot be opened contributes nothing
            walk(*child, level + 1, location + '\\' + name, level + 1 == 4 ? name == "Uninstall" : underUninstall);
        }
    }

    void pass(Root root, const std::string& prefix, int limit) {
        auto software = ctx.store.openKey(root, "SOFTWARE", reg::KEY_ALL_ACCESS);
        if (!software)
            return;
        for (const std::string& name : ctx.store.subkeyNames(*software)) {
            if (auto key = ctx.store.openKey(root, "SOFTWARE\\" + name, reg::KEY_ALL_ACCESS))
                walk(*key, 1, prefix + name, false);
            if (ctx.progress < limit)
                ctx.setProgress(ctx.progress + 1);
        }
    }
};

std::vector<Column> registryColumns(int w0, int w1, int w2, int w3) {
    return {{"Error Items", w0}, {"Repair Report", w1}, {"Detail Info", w2}, {"Registry Location", w3}};
}

}  // namespace

// ---------------------------------------------------------------- startup

void Startup(ScanContext& ctx, ResultList& lvsp) {
    ctx.ramp(0, 30);
    scanRunKey(ctx, lvsp, Root::CurrentUser, kRunCU, "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    ctx.ramp(30, 60);
    scanRunKey(ctx, lvsp, Root::CurrentUser, kRunOnceCU, "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    ctx.ramp(60, 80);
    scanRunKey(ctx, lvsp, Root::LocalMachine, kRunLM, "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    ctx.ramp(80, 100);
}

void removesp(ScanContext& ctx, ResultList& lvsp) {
    repairCheckedRows(ctx, lvsp, [&](const ResultRow& row) {
        deleteIn(ctx, Root::CurrentUser, locationPath(row.subitem(2), "HKCU"), row.caption, false);
        deleteIn(ctx, Root::LocalMachine, locationPath(row.subitem(2), "HKLM"), row.caption, false);
    });
}

// ---------------------------------------------------------------- uninstall entries

void Uninstall(ScanContext& ctx, ResultList& lvue) {
    ctx.ramp(0, 30);
    TRegistry reg(ctx.store);
    reg.setRootKey(Root::LocalMachine);
    std::vector<std::string> list;
    if (reg.openKey(kUninstall, false))
        reg.getKeyNames(list);
    for (const auto& name : list) {
        TRegistry entry(ctx.store);
        entry.setRootKey(Root::LocalMachine);
        if (!entry.openKey(std::string(kUninstall) + '\\' + name, false))
            continue;
        if (entry.valueExists("UninstallString") || entry.valueExists("InstallSource") ||
            entry.valueExists("DisplayName"))
            continue;
        if (ctx.isIgnored("ue", name))
            continue;
        lvue.add(name, {"Missing Uninstall Key(Removable)", name,
                        "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name});
        stepProgress(ctx, 70);
    }
    ctx.ramp(70, 100);
}

void removeue(ScanContext& ctx, ResultList& lvue) {
    repairCheckedRows(ctx, lvue, [&](const ResultRow& row) {
        deleteIn(ctx, Root::LocalMachine, std::string(kUninstall), row.subitem(1), true);
    });
}

// ---------------------------------------------------------------- file extensions

void FileExt(ScanContext& ctx, ResultList& lvfe) {
    bool hasProgramList = true;  // both answers carry over from one extension to the next
    bool isClass = true;
    ctx.ramp(0, 30);
    TRegistry reg(ctx.store);
    std::vector<std::string> list;
    if (reg.openKey(kFileExts, false))
        reg.getKeyNames(list);
    for (const auto& ext : list) {
        TRegistry exts(ctx.store);
        if (exts.openKey(kFileExts, false))
            hasProgramList = exts.keyExists(std::string(kFileExts) + '\\' + ext + "\\OpenWithProgids");
        if (hasProgramList)
            continue;
        TRegistry classes(ctx.store);
        classes.setRootKey(Root::ClassesRoot);
        if (classes.openKey("", false))
            isClass = classes.keyExists("\\" + ext);
        if (!isClass)
            lvfe.add(ext, {"Unused Extension(Removable)", "Empty Key",
                           "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts"});
    }
    ctx.ramp(60, 100);
}

void removefe(ScanContext& ctx, ResultList& lvfe) {
    repairCheckedRows(ctx, lvfe, [&](const ResultRow& row) {
        deleteIn(ctx, Root::CurrentUser, locationPath(row.subitem(2), "HKCU"), row.caption, true);
    });
}

// ---------------------------------------------------------------- ActiveX and DLL paths

void ActiveX(ScanContext& ctx, ResultList& lvax) {
    using text::removeSubstring;
    const std::string pf = ctx.folders ? ctx.folders->programFiles : "";
    const std::string sr = ctx.folders ? ctx.folders->systemRoot : "";
    const std::string cf = ctx.folders ? ctx.folders->commonFiles : "";
    // The CAD product's folder, named by the first value of its Hardcopy key.
    std::string cad;
    {
        TRegistry reg(ctx.store);
        reg.setRootKey(Root::LocalMachine);
        std::vector<std::string> values;
        if (reg.openKey("\\SOFTWARE\\Autodesk\\Hardcopy", false))
            reg.getValueNames(values);
        std::string first = values.empty() ? std::string() : values.front();
        cad = reg::regReadString(ctx.store, Root::LocalMachine, "SOFTWARE\\" + first, "AcadLocation");
    }
    ctx.ramp(0, 30);
    TRegistry reg(ctx.store);
    reg.setRootKey(Root::ClassesRoot);
    std::vector<std::string> list;
    if (reg.openKey("\\CLSID", false))
        reg.getKeyNames(list);
    for (const auto& clsid : list) {
        TRegistry server(ctx.store);
        server.setRootKey(Root::ClassesRoot);
        if (!server.openKey("\\CLSID\\" + clsid + "\\InprocServer32", false))
            continue;
        const std::string p =
            reg::regReadString(ctx.store, Root::ClassesRoot, "CLSID\\" + clsid + "\\InprocServer32", "");
        if (p.empty())
            continue;
        const std::string candidates[] = {
            removeSubstring("\"", p),
            pf + removeSubstring("%ProgramFiles%", p),
            sr + removeSubstring("%SystemRoot%", p),
            sr + removeSubstring("%systemroot%", p),
            p,
            sr + "\\system32\\" + p,
            sr + removeSubstring("%windir%", p),
            sr + removeSubstring("%Systemroot%", p),
            sr + removeSubstring("%Windir%", p),
            pf + removeSubstring("%programFiles%", p),
            cf + removeSubstring("%CommonProgramFiles%", p),
            cad + "\\" + p,
            pf + "\\Common Files\\Autodesk Shared\\" + p,
        };
        bool found = false;
        for (const auto& c : candidates) {
            if (ctx.files && ctx.files->fileExists(c)) {
                found = true;
                break;
            }
        }
        if (found || ctx.isIgnored("ax", p))
            continue;
        lvax.add(p, {"Missing Path(Removable)", clsid, "HKCR\\CLSID"});
        stepProgress(ctx, 70);
    }
    ctx.ramp(70, 100);
}

void removeax(ScanContext& ctx, ResultList& lvax) {
    repairCheckedRows(ctx, lvax, [&](const ResultRow& row) {
        deleteIn(ctx, Root::ClassesRoot, locationPath(row.subitem(2), "HKCR"), row.subitem(1), true);
    });
}

// ---------------------------------------------------------------- progressive analysis

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

// ---------------------------------------------------------------- recent documents

void Privacy(ScanContext& ctx, ResultList& lvpc) {
    const std::string folder =
        reg::regReadString(ctx.store, Root::CurrentUser, kShellFolders, "Recent") + "\\";
    std::vector<std::string> names;
    if (ctx.files)
        ctx.files->listFolder(names, folder, "*.lnk");
    for (const auto& name : names) {
        if (ctx.isIgnored("pc", name))
            continue;
        const std::string path = folder + name;
        lvpc.add(name, {"Remove", "All items listed in Recent Documents", folder,
                        text::sizeText(ctx.files->fileSizeText(path))});
    }
    ctx.ramp(0, 100);
}

void removepc(ScanContext& ctx, ResultList& lvpc) {
    repairCheckedRows(ctx, lvpc, [&](const ResultRow& row) {
        if (ctx.files)
            (void)ctx.files->deleteFile(row.subitem(2) + row.caption);
    });
}

// ---------------------------------------------------------------- help files, fonts, virtual components

void helpfile(ScanContext& ctx, ResultList&) { ctx.ramp(0, 100); }
void fontreg(ScanContext& ctx, ResultList&) { ctx.ramp(0, 100); }
void VirtualDevice(ScanContext& ctx, ResultList&) { ctx.ramp(0, 100); }

// ---------------------------------------------------------------- obsolete software

void Obsolete(ScanContext& ctx, ResultList& lvos) {
    auto pass = [&](Root root, const std::string& location) {
        TRegistry reg(ctx.store);
        reg.setRootKey(root);
        std::vector<std::string> list;
        if (reg.openKey("\\Software", false))
            reg.getKeyNames(list);
        for (const auto& name : list) {
            // Reported only when its own names were listed and both lists are empty.
            TRegistry values(ctx.store);
            values.setRootKey(root);
            TRegistry keys(ctx.store);
            keys.setRootKey(root);
            if (!values.openKey("\\Software\\" + name, false) || !keys.openKey("\\Software\\" + name, false))
                continue;
            if (values.currentKeyIsLink())
                continue;
            if (names(values, false).empty() && names(keys, true).empty())
                lvos.add(name, {"Empty Key(Remove)", name, location});
        }
    };
    ctx.ramp(0, 30);
    pass(Root::CurrentUser, "HKCU\\Software\\");
    ctx.ramp(30, 60);
    pass(Root::LocalMachine, "HKLM\\Software\\");
    ctx.ramp(60, 100);
}

void removeos(ScanContext& ctx, ResultList& lvos) {
    repairCheckedRows(ctx, lvos, [&](const ResultRow& row) {
        deleteIn(ctx, Root::CurrentUser, locationPath(row.subitem(2), "HKCU"), row.caption, true);
        deleteIn(ctx, Root::LocalMachine, locationPath(row.subitem(2), "HKLM"), row.caption, true);
    });
}

// ---------------------------------------------------------------- the table

std::vector<Category> registryCategories() {
    std::vector<Category> table;
    // The categories with views of their own buttons.
    struct Own {
        const char* scan;
        const char* list;
        std::vector<Column> columns;
        CategoryAction scanAction;
        const char* repair;
        CategoryAction repairAction;
        const char* summaryRow;
        BadgeFamily family;
        const char* opener;
        std::array<std::string, 4> buttons;
        StatusTexts openerStatus, scanStatus, repairStatus, removeStatus;
        const char* ignoreCode;
    };
    const Own own[] = {
        {"Startup", "lvsp", registryColumns(200, 200, 250, 250), Startup, "removesp", removesp,
         "Running While Startup", BadgeFamily::Registry, "RunningWhileStartup1Click",
         {"OBsp1", "OBsp2", "OBsp3", "OBsp4"},
         {"Status : Scanning Startup Programs", "Status : Scanned Startup Programs"},
         {"Status : Scanning Startup Programs", "Status : Scanned Startup Programs"},
         {"Status : Repairing Startup Programs", "Status : Repaired Startup Programs"},
         {"Status : Repairing Startup Programs", "Status : Repaired Startup Programs"}, "sp"},
        {"Uninstall", "lvue", registryColumns(180, 210, 210, 220), Uninstall, "removeue", removeue,
         "Uninstaller Bugs", BadgeFamily::Registry, "UninstallerBugs1Click", {"OBue1", "obue2", "OBue3", "OBue4"},
         {"Status : Scanning Uninstaller Bugs ", "Status : Scanned Uninstaller Bugs"},
         {"Status : Scanning Uninstaller Bugs", "Status : Scanned Uninstaller Bugs"},
         {"Status : Repairing Uninstaller Bugs", "Status : Repaired Uninstaller Bugs"},
         {"Status : Repairing Uninstalls", "Status : Repaired Uninstalls"}, "ue"},
        {"FileExt", "lvfe", registryColumns(100, 200, 150, 150), FileExt, "removefe", removefe,
         "Unused Extensions", BadgeFamily::Registry, "UnusedExtensions1Click", {"OBfe1", "obfe2", "OBfe3", "OBfe4"},
         {"Status : Scanning Unused Extension", "Status : Scanned Unused Extension"},
         {"Status : Scanning Unused Extensions", "Status : Scanned Unused Extensions"},
         {"Status : Repairing Unused Extensions", "Status : Repaired Unused Extensions"},
         {"Status : Repairing File Associations", "Status : Repaired File Associations"}, "fe"},
        {"ActiveX", "lvax", registryColumns(200, 150, 200, 150), ActiveX, "removeax", removeax,
         "Missing ActiveX and DLLs", BadgeFamily::Registry, "MissingActiveXandDLLs1Click",
         {"OBax1", "obax2", "OBax3", "OBax4"},
         {"Status : Scanning ActiveX and DLLs", "Status : Scanned ActiveX and DLLs"},
         {"Status : Scanning ActiveX and DLLs", "Status : Scanned ActiveX and DLLs"},
         {"Status : Repairing Missing ActiveX and DLLs", "Status : Repaired Missing ActiveX and DLLs"},
         {"Status : Repairing DLLs/ActiveX", "Status : Repaired DLLs/ActiveX"}, "ax"},
        {"VirtualDevice", "lvvd", registryColumns(180, 210, 210, 220), VirtualDevice, "", nullptr,
         "Virtual Components", BadgeFamily::Registry, "VirtualComponent1Click", {"OBvd1", "obvd2", "OBvd3", "OBvd4"},
         {"  Status : Scanning Virtual Devices", "  Status : Scanned Virtual Devices"},
         {"Status : Scanning Virtual Components", "Status : Scanned Virtual Components"},
         {"Status : Repairing Virtual Components", "Status : Repaired Virtual Components"},
         {}, ""},
        {"Privacy", "lvpc",
         {{"File Names", 180}, {"Repair Report", 100}, {"Detail Info", 220}, {"Path Location", 250}, {"Size", 100}},
         Privacy, "removepc", removepc, "Recent Documents", BadgeFamily::Privacy, "RecentDocuments2Click",
         {"OBpc1", "obpc2", "OBpc3", "OBpc4"},
         {"Status : Scanning Recent Documents", "Status : Scanned Recent Documents"},
         {"Status : Scanning Recent Documents", "Status : Scanned Recent Documents"},
         {"Status : Repairing Recent Documents", "Status : Repaired Recent Documents"},
         {"Status : Repairing Recent Documents", "Status : Repaired Recent Documents"}, "pc"},
        {"Deep", "LV2", registryColumns(200, 200, 150, 250), Deep, "removeda", removeda,
         "Progressive Registry Analysis", BadgeFamily::Registry, "ProgressiveClick",
         {"OBda1", "OBda2", "OBda3", "OBda4"},
         {"Status : Progressive Registry Analyzing", "Status : Progressive Analyzing Completed"},
         {"Status : Progressive Registry Analyzing", "Status : Progressive Analyzing Completed"},
         {"Status : Repairing Registry", "Status : Repaired Registry"},
         {"Status : Repairing Invalid Filepaths ", "Status : Repaired Invalid Filepaths"}, ""},
    };
    for (const auto& o : own) {
        Category c;
        c.scan = o.scan;
        c.list = o.list;
        c.columns = o.columns;
        c.scanAction = o.scanAction;
        c.repair = o.repair;
        c.repairAction = o.repairAction;
        c.summaryRow = o.summaryRow;
        c.family = o.family;
        c.opener = o.opener;
        c.buttons = o.buttons;
        c.openerStatus = o.openerStatus;
        c.scanStatus = o.scanStatus;
        c.repairStatus = o.repairStatus;
        c.removeStatus = o.removeStatus;
        c.ignoreCode = o.ignoreCode;
        c.hasSelectToggle = c.scan != "VirtualDevice";  // its view has only "Refresh"
        table.push_back(std::move(c));
    }
    // The categories on the shared buttons of the privacy views.
    struct Shared {
        const char* scan;
        const char* list;
        CategoryAction scanAction;
        const char* repair;
        CategoryAction repairAction;
        const char* summaryRow;
        const char* opener;
        int viewNumber;
        const char* what;  // as the opener's status line names it
        const char* whatAll;  // as the complete scan names it
    };
    const Shared shared[] = {
        {"helpfile", "lvhelp", helpfile, "", nullptr, "Help Files", "H1Click", 12, "Help Files", "Help Files"},
        {"fontreg", "lvfont", fontreg, "", nullptr, "Fonts Registration", "FontsRegistra1Click", 11,
         "Fonts Registration", "Fonts Registration"},
        {"Obsolete", "lvos", Obsolete, "removeos", removeos, "Obsolete Software", "ObseleteSoftware1Click", 4,
         "Obsolete Software", "Obsolete Software"},
    };
    for (const auto& s : shared) {
        Category c;
        c.scan = s.scan;
        c.list = s.list;
        c.columns = registryColumns(180, 210, 210, 220);
        c.scanAction = s.scanAction;
        c.repair = s.repair;
        c.repairAction = s.repairAction;
        c.summaryRow = s.summaryRow;
        c.family = BadgeFamily::Registry;
        c.opener = s.opener;
        c.viewNumber = s.viewNumber;
        c.openerStatus = {std::string("  Status : Scanning ") + s.what, std::string("  Status : Scanned ") + s.what};
        c.scanStatus = {std::string("Status : Scanning ") + s.whatAll, std::string("Status : Scanned ") + s.whatAll};
        c.repairStatus = {std::string("Status : Repairing ") + s.whatAll,
                          std::string("Status : Repaired ") + s.whatAll};
        if (c.repairAction) {  // the shared "Remove Checked Items" of the privacy views
            c.removeStatus = {std::string("  Status : Repairing ") + s.what, std::string("  Status : Repaired ") + s.what};
            c.removeReport = RemoveReport::WhenEmpty;
        }
        table.push_back(std::move(c));
    }
    return table;
}

}  // namespace kestrane
