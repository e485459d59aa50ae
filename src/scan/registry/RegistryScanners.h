#pragma once
// The registry categories: their scan and repair actions. Each fills or
// repairs the result list it is given; the category table runs them.

#include <string_view>

#include "results/Category.h"

namespace kestrane {

// The codes of the ignore lists: each names its category's list in the
// table, and the scanners that apply the skip test ask for it by it.
inline constexpr std::string_view kIgnoreStartup = "sp";
inline constexpr std::string_view kIgnoreUninstall = "ue";
inline constexpr std::string_view kIgnoreExtensions = "fe";
inline constexpr std::string_view kIgnoreActiveX = "ax";
inline constexpr std::string_view kIgnoreRecent = "pc";

// Running While Startup: Run and RunOnce of the user, Run of the machine.
void Startup(ScanContext& ctx, ResultList& lvsp);
void removesp(ScanContext& ctx, ResultList& lvsp);

// Uninstaller Bugs: uninstall keys without any of their marker values.
void Uninstall(ScanContext& ctx, ResultList& lvue);
void removeue(ScanContext& ctx, ResultList& lvue);

// Unused Extensions: Explorer's remembered extensions that nothing opens.
void FileExt(ScanContext& ctx, ResultList& lvfe);
void removefe(ScanContext& ctx, ResultList& lvfe);

// Missing ActiveX and DLLs: classes whose in-process server file is gone.
void ActiveX(ScanContext& ctx, ResultList& lvax);
void removeax(ScanContext& ctx, ResultList& lvax);

// Progressive Registry Analysis: values below SOFTWARE naming missing files.
void Deep(ScanContext& ctx, ResultList& LV2);
void removeda(ScanContext& ctx, ResultList& LV2);

// Recent Documents: the shortcuts in the user's Recent folder.
void Privacy(ScanContext& ctx, ResultList& lvpc);
void removepc(ScanContext& ctx, ResultList& lvpc);

// Help Files, Fonts Registration, Virtual Components: nothing to find.
void helpfile(ScanContext& ctx, ResultList& lvhelp);
void fontreg(ScanContext& ctx, ResultList& lvfont);
void VirtualDevice(ScanContext& ctx, ResultList& lvvd);

// Obsolete Software: empty keys directly under Software of both hives.
void Obsolete(ScanContext& ctx, ResultList& lvos);
void removeos(ScanContext& ctx, ResultList& lvos);

// The rows of the category table for the registry categories.
std::vector<Category> registryCategories();

}  // namespace kestrane
