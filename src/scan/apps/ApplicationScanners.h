#pragma once
// The applications' recent lists: the five applets and the applications
// found at start. Their scan and repair actions; the category table runs
// them, each only when its application has a row in the applications summary.

#include <string>
#include <string_view>
#include <vector>

#include "results/Category.h"

namespace kestrane {

// The applets: Paint, WordPad, the Management Console, the Registry Editor
// and Media Player.
void mspaint(ScanContext& ctx, ResultList& lvpaint);
void removepaint(ScanContext& ctx, ResultList& lvpaint);
void mswordpad(ScanContext& ctx, ResultList& lvwordpad);
void removewordpad(ScanContext& ctx, ResultList& lvwordpad);
void mmc(ScanContext& ctx, ResultList& lvmmc);
void removemmc(ScanContext& ctx, ResultList& lvmmc);
void regedit(ScanContext& ctx, ResultList& lvregedit);
void removeregedit(ScanContext& ctx, ResultList& lvregedit);
void winplay(ScanContext& ctx, ResultList& lvwinplay);
void removewinplay(ScanContext& ctx, ResultList& lvwinplay);

// Office: its recent folder and its recent-file keys.
void msoffice(ScanContext& ctx, ResultList& lvoffice);
void removeoffice(ScanContext& ctx, ResultList& lvoffice);

// The browsers' profile files.
void operabro(ScanContext& ctx, ResultList& lvopera);
void removeopera(ScanContext& ctx, ResultList& lvopera);
void mozillabro(ScanContext& ctx, ResultList& lvmozilla);
void removemozilla(ScanContext& ctx, ResultList& lvmozilla);

// The other applications.
void winwinzip(ScanContext& ctx, ResultList& lvwinzip);
void removewinzip(ScanContext& ctx, ResultList& lvwinzip);
void winwinrar(ScanContext& ctx, ResultList& lvwinrar);
void removewinrar(ScanContext& ctx, ResultList& lvwinrar);
void acrobat5(ScanContext& ctx, ResultList& lvacrobat5);
void removeacrobat5(ScanContext& ctx, ResultList& lvacrobat5);
void acrobat6(ScanContext& ctx, ResultList& lvacrobat6);
void removeacrobat6(ScanContext& ctx, ResultList& lvacrobat6);
void acrobat7(ScanContext& ctx, ResultList& lvacrobat7);
void removeacrobat7(ScanContext& ctx, ResultList& lvacrobat7);
void Nero(ScanContext& ctx, ResultList& lvnero);
void removenero(ScanContext& ctx, ResultList& lvnero);
void dap(ScanContext& ctx, ResultList& lvdap);
void removedap(ScanContext& ctx, ResultList& lvdap);
void Flashplay(ScanContext& ctx, ResultList& lvflashplay);
void removeflashplay(ScanContext& ctx, ResultList& lvflashplay);

// The rows of the category table for the applications.
std::vector<Category> applicationCategories();

// --- parts the scans are made of, for their tests

// The applets' columns: "Recentlist File" 180, "Repair Report" 100,
// "Detail Info" 220, "Registry Location" 250.
std::vector<Column> appletColumns();
// The file-name part of a recent list's data: the text after its last
// backslash or colon, all of it when it has neither.
std::string fileNamePart(std::string_view data);

// The Firefox profile folders to examine, by their names below the Profiles
// folders: those profiles.ini lists with IsRelative=1, in file order (a path
// that leaves the Profiles folder is not examined), then "lugoaffv.default"
// when that folder exists and is not listed.
std::vector<std::string> firefoxProfiles(std::string_view profilesIni, bool lugoaffvExists);

}  // namespace kestrane
