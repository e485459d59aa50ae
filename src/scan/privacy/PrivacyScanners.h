#pragma once
// The privacy categories: their scan and repair actions. Each fills or
// repairs the result list it is given; the category table runs them. The
// recent documents, a registry scanner, are in scan/registry.

#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "results/Category.h"

namespace kestrane {

// Cookies: cookie files of advertising and tracking sites.
void Cookies(ScanContext& ctx, ResultList& lvco);
void removeco(ScanContext& ctx, ResultList& lvco);

// History and Temporary IE: the browser's history and cache folders.
void history(ScanContext& ctx, ResultList& lvhis);
void removehis(ScanContext& ctx, ResultList& lvhis);
void tempie(ScanContext& ctx, ResultList& lvtempie);
void removetempie(ScanContext& ctx, ResultList& lvtempie);

// Temporary Files: the .tmp files of the system's and the user's temporary folders.
void temp_files(ScanContext& ctx, ResultList& lvdel);
void removetemp(ScanContext& ctx, ResultList& lvdel);

// Recycle Bin: the prefix's recycle bin, one row for all its items.
void recycle(ScanContext& ctx, ResultList& lvbin);
void removebin(ScanContext& ctx, ResultList& lvbin);

// Clipboard: what the desktop clipboard holds.
void clip(ScanContext& ctx, ResultList& lvclip);
void removeclip(ScanContext& ctx, ResultList& lvclip);

// Memory Dumps, Chkdsk Files, Log Files: leftovers in fixed system folders.
void dump(ScanContext& ctx, ResultList& lvdump);
void removedump(ScanContext& ctx, ResultList& lvdump);
void chk(ScanContext& ctx, ResultList& lvchk);
void removechk(ScanContext& ctx, ResultList& lvchk);
void log(ScanContext& ctx, ResultList& lvlog);
void removelog(ScanContext& ctx, ResultList& lvlog);

// Advanced Privacy Threats Analysis: the registry's recently-used lists.
void advanced(ScanContext& ctx, ResultList& lvadvanced);
void removeadvanced(ScanContext& ctx, ResultList& lvadvanced);

// The rows of the category table for the privacy categories.
std::vector<Category> privacyCategories();

// --- parts the scans are made of, for their tests

// The 192 keywords of advertising, tracking and web sites, in table order.
const std::vector<std::string_view>& cookieKeywords();
// Whether one of them occurs in the text (byte-exact, case-sensitive).
bool hasCookieKeyword(std::string_view text);
// The "host/path" of every record of a cookie file as Wine and Windows
// write them: records of nine lines (name, value, host and path, flags,
// four numbers) each ended by a line "*".
std::vector<std::string> cookieSites(std::string_view fileText);

// Today's history folder: "MSHist01" + today's year, month (no leading
// zero) and day (two digits), then tomorrow's the same way.
std::string todayHistoryFolder(const files::LocalTime& today);

}  // namespace kestrane
