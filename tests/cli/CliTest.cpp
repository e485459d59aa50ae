// kestrane-cli run in-process against string streams, over temporary
// prefixes, with fake categories in place of the scanners.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#ifdef KESTRANE_HAVE_VALIJSON
#include <valijson/adapters/nlohmann_json_adapter.hpp>
#include <valijson/schema.hpp>
#include <valijson/schema_parser.hpp>
#include <valijson/validator.hpp>
#endif

#include "cli/Cli.h"
#include "cli/Report.h"
#include "results/ModelFixture.h"
#include "support/EnvGuard.h"
#include "support/FakeWineServer.h"
#include "support/TempPrefix.h"

namespace kestrane::test {
namespace {

using nlohmann::json;

constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// system.reg with the program-files folder, where the undo files of repairs go.
const std::string kMachine =
    "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1700000000\n"
    "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n";

// user.reg with two Run values and the given settings.
std::string userReg(const std::string& settings = "") {
    std::string text =
        "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Run] 1700000000\n"
        "#time=1da0000000000000\n"
        "\"Gone\"=\"C:\\\\missing\\\\gone.exe\"\n"
        "\"Old\"=\"C:\\\\old\\\\old.exe /min\"\n";
    if (!settings.empty())
        text += "\n[Software\\\\KestranePro] 1700000000\n#time=1da0000000000000\n" + settings;
    return text;
}

// A startup category over the real store: every HKCU Run value is a finding;
// the repair deletes the checked ones.
Category runKeyCategory(std::function<void()> duringRepair = {}) {
    Category c;
    c.scan = "Startup";
    c.list = "lvsp";
    c.columns = {{"Error Items", 200}, {"Repair Report", 200}, {"Detail Info", 250}, {"Registry Location", 250}};
    c.scanAction = [](ScanContext& ctx, ResultList& l) {
        reg::TRegistry r(ctx.store);
        std::vector<std::string> names;
        if (r.openKey(std::string("\\") + kRunKey, false)) r.getValueNames(names);
        for (const auto& name : names)
            l.add(name, {"Missing Startup Application(Remove)", r.readString(name), std::string("HKCU\\") + kRunKey});
        ctx.ramp(0, 100);
    };
    c.repair = "removesp";
    c.repairAction = [duringRepair](ScanContext& ctx, ResultList& l) {
        std::vector<ResultRow> kept;
        for (const auto& row : l.rows()) {
            if (!row.checked) {
                kept.push_back(row);
                continue;
            }
            reg::TRegistry r(ctx.store);
            if (r.openKey(std::string("\\") + kRunKey, false)) r.deleteValue(row.caption);
        }
        l.rows() = kept;
        if (duringRepair) duringRepair();
    };
    c.summaryRow = "Running While Startup";
    c.opener = "RunningWhileStartup1Click";
    c.buttons = {"OBsp1", "OBsp2", "OBsp3", "OBsp4"};
    c.scanStatus = {"Status : Scanning Startup Programs", "Status : Scanned Startup Programs"};
    c.repairStatus = {"Status : Repairing Startup Programs", "Status : Repaired Startup Programs"};
    return c;
}

struct CliRun {
    std::ostringstream out;
    std::ostringstream err;
    int status = -1;
};

class CliTest : public ::testing::Test {
protected:
    ActionLog log;
    std::function<std::vector<Category>()> categories = [this] {
        std::vector<Category> table{runKeyCategory()};
        table.push_back(fakeCategory(log, "Cookies", "lvco", "Cookies", BadgeFamily::Privacy));
        table.push_back(fakeCategory(log, "mspaint", "lvpaint", "MS Paint", BadgeFamily::Recentlist));
        return table;
    };

    CliRun run(std::vector<std::string> args, bool terminal = false) {
        CliRun r;
        cli::Cli cli(cli::Io{r.out, r.err, terminal});
        cli.options().categories = categories;
        r.status = cli.run(args);
        return r;
    }
};

bool contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

std::vector<std::string> userRegRunValues(const TempPrefix& prefix) {
    std::string text = readFile(prefix.userReg());
    std::vector<std::string> found;
    for (auto name : {"\"Gone\"", "\"Old\""})
        if (text.find(name) != std::string::npos) found.emplace_back(name);
    return found;
}

// --- usage and prefix

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    TempPrefix prefix(kMachine, userReg());
    std::string p = prefix.path().string();
    EXPECT_EQ(run({}).status, 2);
    EXPECT_EQ(run({"--prefix", p, "frobnicate"}).status, 2);
    EXPECT_EQ(run({"--prefix", p, "scan", "--bogus"}).status, 2);
    EXPECT_EQ(run({"--prefix", p, "--demo", "scan"}).status, 2);
    EXPECT_EQ(run({"--prefix", p, "repair", "--backup", "--no-backup"}).status, 2);
    EXPECT_EQ(run({"--prefix", p, "scan", "--backup"}).status, 2);  // repair only

    auto unknownRow = run({"--prefix", p, "scan", "--only", "1,Nothing Like This"});
    EXPECT_EQ(unknownRow.status, 2);
    EXPECT_NE(unknownRow.err.str().find("Nothing Like This"), std::string::npos);
    EXPECT_EQ(unknownRow.out.str(), "");
    // Row 0 is the backup switch, not a category.
    EXPECT_EQ(run({"--prefix", p, "scan", "--only", "0"}).status, 2);

    auto help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.str().find("repair"), std::string::npos);
}

TEST_F(CliTest, MissingOrUnreadablePrefixExitsWithThree) {
    auto missing = run({"--prefix", "/nonexistent/kestrane-prefix", "scan"});
    EXPECT_EQ(missing.status, 3);
    EXPECT_NE(missing.err.str().find("/nonexistent/kestrane-prefix"), std::string::npos);

    TempPrefix broken;
    writeFile(broken.userReg(), "this is not a registry file\n");
    auto unreadable = run({"--prefix", broken.path().string(), "scan"});
    EXPECT_EQ(unreadable.status, 3);
    EXPECT_NE(unreadable.err.str().find("user.reg"), std::string::npos) << unreadable.err.str();
}

TEST_F(CliTest, PrefixComesFromWineprefixWithoutOption) {
    TempPrefix prefix(kMachine, userReg());
    CliRun r;
    {
        EnvGuard wine("WINEPREFIX", prefix.path().string());
        r = run({"scan", "--json"});
    }
    ASSERT_EQ(r.status, 0) << r.err.str();
    EXPECT_EQ(json::parse(r.out.str())["prefix"], prefix.path().string());
}

TEST_F(CliTest, DemoPrefixIsMadeOnFirstUse) {
    auto data = makeTempDir("kestrane-cli-data");
    CliRun first, reset;
    {
        EnvGuard xdg("XDG_DATA_HOME", data.string());
        first = run({"--demo", "scan", "--json"});
        reset = run({"--demo-reset", "scan", "--json"});
    }
    ASSERT_EQ(first.status, 0) << first.err.str();
    ASSERT_EQ(reset.status, 0) << reset.err.str();
    std::string made = json::parse(first.out.str())["prefix"];
    EXPECT_EQ(made.rfind(data.string(), 0), 0u) << made;
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(made) / "user.reg"));
    EXPECT_EQ(json::parse(reset.out.str())["prefix"], made);
    std::filesystem::remove_all(data);
}

// --- scan

TEST_F(CliTest, ScanPrintsTheSummaryAndTheListsFound) {
    TempPrefix prefix(kMachine, userReg("\"autorepair\"=\"1\"\n"));
    const std::string before = readFile(prefix.userReg());
    log.findings["Cookies"] = 2;
    auto r = run({"--prefix", prefix.path().string(), "scan"});
    ASSERT_EQ(r.status, 0) << r.err.str();
    const std::string out = r.out.str();
    EXPECT_NE(out.find("Status : Complete Scan Your PC"), std::string::npos);
    EXPECT_NE(out.find("[x] Running While Startup               2                 Registry"), std::string::npos)
        << out;
    EXPECT_NE(out.find("[x] Uninstaller Bugs                    not available     Registry"), std::string::npos);
    EXPECT_NE(out.find("obmainerror: 2 Errors Found"), std::string::npos);
    EXPECT_NE(out.find("obpriv: 2 Privacy Threats Found"), std::string::npos);
    EXPECT_NE(out.find("lvsp: Error Items | Repair Report | Detail Info | Registry Location"), std::string::npos);
    EXPECT_NE(out.find("[x] Gone | Missing Startup Application(Remove) | C:\\missing\\gone.exe"), std::string::npos);
    EXPECT_NE(out.find("lvco:"), std::string::npos);
    // Nothing is repaired by a scan, whatever autorepair says, and nothing written.
    EXPECT_EQ(readFile(prefix.userReg()), before);
    EXPECT_EQ(r.err.str(), "");
}

TEST_F(CliTest, EveryCategoryThatRanIsInTheListsFoundSomethingOrNot) {
    TempPrefix prefix(kMachine, userReg());
    auto r = run({"--prefix", prefix.path().string(), "scan", "--json"});  // Cookies finds nothing
    ASSERT_EQ(r.status, 0) << r.err.str();
    json doc = json::parse(r.out.str());
    ASSERT_TRUE(doc["lists"].contains("lvco"));
    EXPECT_TRUE(doc["lists"]["lvco"]["rows"].empty());
    EXPECT_EQ(doc["lists"]["lvco"]["columns"][0]["caption"], "Error Items");
    EXPECT_EQ(doc["lists"]["lvsp"]["rows"].size(), 2u);
    EXPECT_FALSE(doc["lists"].contains("lvpaint"));  // an application list: not this mode's
    // The text report shows only what was found.
    auto text = run({"--prefix", prefix.path().string(), "scan"});
    EXPECT_EQ(text.out.str().find("lvco:"), std::string::npos);
}

TEST_F(CliTest, OnlyChecksTheNamedRows) {
    TempPrefix prefix(kMachine, userReg());
    log.findings["Cookies"] = 1;
    auto r = run({"--prefix", prefix.path().string(), "scan", "--only", "lvco", "--json"});
    ASSERT_EQ(r.status, 0) << r.err.str();
    json doc = json::parse(r.out.str());
    for (const auto& row : doc["summary"]) {
        int n = row["row"];
        if (n == 0) continue;  // the backup switch is not a category row
        EXPECT_EQ(row["checked"], n == 16) << n;
    }
    EXPECT_EQ(doc["summary"][1]["count"], 0);
    EXPECT_EQ(doc["summary"][16]["count"], 1);
    EXPECT_FALSE(doc["lists"].contains("lvsp"));

    // By number, by caption in any case, by action name.
    auto r2 = run({"--prefix", prefix.path().string(), "scan", "--only", "1,cookies", "--json"});
    ASSERT_EQ(r2.status, 0);
    json doc2 = json::parse(r2.out.str());
    EXPECT_TRUE(doc2["summary"][1]["checked"]);
    EXPECT_TRUE(doc2["summary"][16]["checked"]);
    EXPECT_FALSE(doc2["summary"][2]["checked"]);
    auto r3 = run({"--prefix", prefix.path().string(), "scan", "--only", "Startup", "--json"});
    ASSERT_EQ(r3.status, 0);
    EXPECT_EQ(json::parse(r3.out.str())["summary"][1]["count"], 2);
}

// --- the report as it is written

TEST(JsonStrings, EveryTextBecomesValidJsonAndUtf8Survives) {
    auto encode = [](std::string_view text) {
        std::string out;
        cli::appendJsonString(out, text);
        return out;
    };
    auto decoded = [&](std::string_view text) { return json::parse(encode(text)).get<std::string>(); };
    EXPECT_EQ(encode("C:\\a \"b\"\n\t\r"), "\"C:\\\\a \\\"b\\\"\\n\\t\\r\"");
    EXPECT_EQ(encode(std::string("\x01\x1f", 2)), "\"\\u0001\\u001f\"");
    for (std::string_view good : {"Caf\xC3\xA9", "\xE2\x82\xAC 5", "\xF0\x9F\x8D\xAA", "\xF4\x8F\xBF\xBF", ""})
        EXPECT_EQ(decoded(good), good);
    // What is not UTF-8 is one U+FFFD a byte: stray bytes, overlong forms,
    // surrogates, beyond U+10FFFF, sequences cut short.
    const std::string r = "\xEF\xBF\xBD";
    EXPECT_EQ(decoded("\xFF\xFE.tmp"), r + r + ".tmp");
    EXPECT_EQ(decoded("\xC0\x80"), r + r);
    EXPECT_EQ(decoded("a\xED\xA0\x80z"), "a" + r + r + r + "z");
    EXPECT_EQ(decoded("\xF5\x80\x80\x80"), r + r + r + r);
    EXPECT_EQ(decoded("\xE2\x82"), r + r);
    EXPECT_EQ(decoded("\xC3"), r);
    EXPECT_EQ(decoded("\xE0\x9F\xBF"), r + r + r);
}

TEST_F(CliTest, NamesThatAreNotUtf8ReachTheJsonReport) {
    TempPrefix prefix(kMachine, userReg());
    categories = [this] {
        std::vector<Category> table{runKeyCategory()};
        Category odd = fakeCategory(log, "Cookies", "lvco", "Cookies", BadgeFamily::Privacy);
        odd.scanAction = [](ScanContext&, ResultList& l) { l.add("\xFF\xFE.txt", {"Remove", "C:\\a\xE9\\"}); };
        table.push_back(odd);
        return table;
    };
    auto r = run({"--prefix", prefix.path().string(), "scan", "--json"});
    ASSERT_EQ(r.status, 0) << r.err.str();
    json doc = json::parse(r.out.str());
    ASSERT_EQ(doc["lists"]["lvco"]["rows"].size(), 1u);
    EXPECT_EQ(doc["lists"]["lvco"]["rows"][0]["caption"], "\xEF\xBF\xBD\xEF\xBF\xBD.txt");
    EXPECT_EQ(doc["lists"]["lvco"]["rows"][0]["subitems"][1], "C:\\a\xEF\xBF\xBD\\");
    // The text report keeps the bytes as they are.
    auto text = run({"--prefix", prefix.path().string(), "scan"});
    EXPECT_NE(text.out.str().find("[x] \xFF\xFE.txt | Remove"), std::string::npos);
}

TEST_F(CliTest, AScanWritesEachListAsSoonAsItsCategoryHasRun) {
    TempPrefix prefix(kMachine, userReg());
    std::ostringstream out, err;
    std::vector<std::string> seenByCookies;
    categories = [&] {
        std::vector<Category> table{runKeyCategory()};
        Category later = fakeCategory(log, "Cookies", "lvco", "Cookies", BadgeFamily::Privacy);
        later.scanAction = [&](ScanContext&, ResultList& l) {
            seenByCookies.push_back(out.str());
            l.add("c.txt", {"Remove"});
        };
        table.push_back(later);
        return table;
    };
    for (bool asJson : {false, true}) {
        out.str("");
        seenByCookies.clear();
        cli::Cli cli(cli::Io{out, err, false});
        cli.options().categories = categories;
        std::vector<std::string> args{"--prefix", prefix.path().string(), "scan"};
        if (asJson) args.push_back("--json");
        ASSERT_EQ(cli.run(args), 0) << err.str();
        ASSERT_EQ(seenByCookies.size(), 1u);
        // The startup list's rows were out before the cookies were looked for.
        const std::string gone = asJson ? "C:\\\\missing\\\\gone.exe" : "C:\\missing\\gone.exe";
        EXPECT_NE(seenByCookies[0].find(gone), std::string::npos) << seenByCookies[0];
        EXPECT_EQ(seenByCookies[0].find("Status : Complete Scan Your PC"), std::string::npos);
        // The summary comes last, with the counts of every list.
        const std::string all = out.str();
        EXPECT_LT(all.find("c.txt"), all.find("Status : Complete Scan Your PC"));
        if (asJson) {
            json doc = json::parse(all);
            EXPECT_EQ(doc["summary"][1]["count"], 2);
            EXPECT_EQ(doc["summary"][16]["count"], 1);
        }
    }
}

TEST_F(CliTest, AScanThatFailsHalfWayStillGivesAWholeReport) {
    TempPrefix prefix(kMachine, userReg());
    categories = [this] {
        Category broken = fakeCategory(log, "Cookies", "lvco", "Cookies", BadgeFamily::Privacy);
        broken.scanAction = [](ScanContext&, ResultList& l) {
            l.add("first.txt", {"Remove"});
            throw std::runtime_error("the cookies folder went away");
        };
        return std::vector<Category>{runKeyCategory(), broken};
    };
    auto r = run({"--prefix", prefix.path().string(), "scan", "--json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.str().find("the cookies folder went away"), std::string::npos) << r.err.str();
    json doc = json::parse(r.out.str());  // whole, the row written before the error in it
    ASSERT_EQ(doc["lists"]["lvco"]["rows"].size(), 1u);
    EXPECT_EQ(doc["lists"]["lvco"]["rows"][0]["caption"], "first.txt");
    EXPECT_EQ(doc["summary"].size(), 21u);
}

TEST_F(CliTest, ApplicationsMode) {
    TempPrefix prefix(kMachine, userReg() + "\n[Software\\\\WinRAR] 1700000000\n");
    log.findings["mspaint"] = 3;
    auto r = run({"--prefix", prefix.path().string(), "scan", "--applications", "--json"});
    ASSERT_EQ(r.status, 0) << r.err.str();
    json doc = json::parse(r.out.str());
    EXPECT_EQ(doc["mode"], "applications");
    ASSERT_EQ(doc["summary"].size(), 6u);
    EXPECT_EQ(doc["summary"][0]["count"], 3);
    EXPECT_TRUE(doc["summary"][0]["available"]);
    EXPECT_EQ(doc["summary"][5]["caption"], "WinRAR");
    EXPECT_FALSE(doc["summary"][5]["available"]);
    EXPECT_EQ(doc["badges"]["obpriv"]["caption"], "3 Recentlist Found");
    EXPECT_TRUE(doc["lists"].contains("lvpaint"));
}

TEST_F(CliTest, ProgressOnlyOnATerminal) {
    TempPrefix prefix(kMachine, userReg());
    auto quiet = run({"--prefix", prefix.path().string(), "scan"});
    EXPECT_EQ(quiet.err.str(), "");
    auto shown = run({"--prefix", prefix.path().string(), "scan"}, true);
    ASSERT_EQ(shown.status, 0);
    const std::string err = shown.err.str();
    EXPECT_NE(err.find("Status : Scanning Startup Programs  0%"), std::string::npos);
    EXPECT_NE(err.find("Status : Scanning Startup Programs  100%"), std::string::npos);
    // The line is cleared at the end, and stdout holds only the report.
    EXPECT_EQ(err.substr(err.size() - 4), "\r\033[K");
    EXPECT_EQ(shown.out.str(), quiet.out.str());
}

TEST_F(CliTest, ReadingBackupsAndUndoFilesAddsNothingToThePrefix) {
    TempPrefix prefix(kMachine, userReg());
    const std::string p = prefix.path().string();
    for (std::vector<std::string> args : {std::vector<std::string>{"backups", "--json"},
                                          std::vector<std::string>{"undo", "--list", "--json"}}) {
        args.insert(args.begin(), {"--prefix", p});
        auto r = run(args);
        EXPECT_EQ(r.status, 0) << args[2] << ": " << r.err.str();
        EXPECT_EQ(json::parse(r.out.str()), json::array()) << args[2];
    }
    EXPECT_EQ(run({"--prefix", p, "restore", "Backup_1-2-3_4-5-2006.reg"}).status, 2);
    EXPECT_EQ(run({"--prefix", p, "delete-backup", "Backup_1-2-3_4-5-2006.reg"}).status, 2);
    EXPECT_EQ(run({"--prefix", p, "undo", "Undo_1-2-3_4-5-2006.reg"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(prefix.driveC() / "Program Files/Kestrane Professional"));
}

TEST_F(CliTest, OptimizeOnlyReads) {
    TempPrefix prefix(kMachine, userReg());
    const std::string system = readFile(prefix.systemReg()), user = readFile(prefix.userReg());
    const auto written = std::filesystem::last_write_time(prefix.systemReg());
    auto r = run({"--prefix", prefix.path().string(), "optimize"});
    ASSERT_EQ(r.status, 0) << r.err.str();
    EXPECT_EQ(r.out.str().rfind("Optimize Complete: Two Hives Completed\nScan Complete...\nKeys shown: ", 0), 0u)
        << r.out.str();
    EXPECT_NE(r.out.str().find("  Status : Optimizing System Complete\n"), std::string::npos);
    EXPECT_EQ(readFile(prefix.systemReg()), system);
    EXPECT_EQ(readFile(prefix.userReg()), user);
    EXPECT_EQ(std::filesystem::last_write_time(prefix.systemReg()), written);
    EXPECT_FALSE(std::filesystem::exists(prefix.driveC() / "Program Files/Kestrane Professional"));
}

// --- repair

TEST_F(CliTest, RepairDeletesWhatTheScanFoundAndSaves) {
    TempPrefix prefix(kMachine, userReg());
    log.findings["Cookies"] = 2;
    auto r = run({"--prefix", prefix.path().string(), "repair", "--json"});
    ASSERT_EQ(r.status, 0) << r.err.str();
    EXPECT_TRUE(userRegRunValues(prefix).empty());
    json doc = json::parse(r.out.str());
    EXPECT_EQ(doc["status"], "Status : Repair Complete");
    EXPECT_EQ(doc["summary"][1]["count"], 0);
    EXPECT_EQ(doc["summary"][16]["count"], 0);
    EXPECT_EQ(doc["badges"]["obmainerror"]["caption"], "No Errors Found");
    // Every category that ran is in the lists, with nothing left in it.
    ASSERT_TRUE(doc["lists"].contains("lvsp"));
    ASSERT_TRUE(doc["lists"].contains("lvco"));
    for (const auto& [name, list] : doc["lists"].items())
        EXPECT_TRUE(list["rows"].empty()) << name;
    EXPECT_TRUE(contains(log.calls, "repair:removeCookies"));
}

TEST_F(CliTest, RepairWithNothingFoundWritesNothing) {
    TempPrefix prefix("", "");
    const std::string before = readFile(prefix.userReg());
    auto r = run({"--prefix", prefix.path().string(), "repair"});
    ASSERT_EQ(r.status, 0) << r.err.str();
    EXPECT_EQ(readFile(prefix.userReg()), before);
    EXPECT_NE(r.out.str().find("Status : Complete Scan Your PC"), std::string::npos);
}

TEST_F(CliTest, RequestedBackupThatIsNotAvailableRepairsNothing) {
    TempPrefix prefix("", userReg("\"autobackup\"=\"1\"\n"));  // no program-files folder for the backups
    const std::string before = readFile(prefix.userReg());
    auto r = run({"--prefix", prefix.path().string(), "repair"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.str().find("Nothing was repaired"), std::string::npos);
    EXPECT_EQ(readFile(prefix.userReg()), before);

    // --no-backup overrides the setting; --backup asks for one on its own.
    TempPrefix plain("", userReg());
    EXPECT_EQ(run({"--prefix", plain.path().string(), "repair", "--backup"}).status, 1);
    EXPECT_EQ(userRegRunValues(plain).size(), 2u);
    TempPrefix withFolders(kMachine, userReg("\"autobackup\"=\"1\"\n"));
    auto r2 = run({"--prefix", withFolders.path().string(), "repair", "--no-backup"});
    EXPECT_EQ(r2.status, 0) << r2.err.str();
    EXPECT_TRUE(userRegRunValues(withFolders).empty());
}

TEST_F(CliTest, RepairRefusedWhileWineRuns) {
    TempPrefix prefix(kMachine, userReg());
    const std::string before = readFile(prefix.userReg());
    CliRun r;
    {
        FakeWineServer server(prefix.path());
        r = run({"--prefix", prefix.path().string(), "repair"});
    }

    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.err.str().find("Close all Wine programs of this prefix first"), std::string::npos) << r.err.str();
    EXPECT_EQ(readFile(prefix.userReg()), before);
    EXPECT_TRUE(log.calls.empty());
}

TEST_F(CliTest, HiveChangedDuringTheRepairIsNotOverwritten) {
    TempPrefix prefix(kMachine, userReg());
    std::string changed = readFile(prefix.userReg()) + "\n[Software\\\\Written By Wine] 1700000001\n";
    categories = [&] {
        return std::vector<Category>{runKeyCategory([&] { writeFile(prefix.userReg(), changed); })};
    };
    auto r = run({"--prefix", prefix.path().string(), "repair"});
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(readFile(prefix.userReg()), changed);
}

// --- JSON

#ifdef KESTRANE_HAVE_VALIJSON
// The schema of the report, as the README gives it.
std::string reportSchema() { return readFile(KESTRANE_REPORT_SCHEMA); }

std::string schemaErrors(const json& doc) {
    json schemaDoc = json::parse(reportSchema());
    valijson::Schema schema;
    valijson::SchemaParser parser;
    valijson::adapters::NlohmannJsonAdapter schemaAdapter(schemaDoc);
    parser.populateSchema(schemaAdapter, schema);
    valijson::Validator validator;
    valijson::ValidationResults results;
    valijson::adapters::NlohmannJsonAdapter target(doc);
    std::string errors;
    if (!validator.validate(schema, target, &results)) {
        valijson::ValidationResults::Error e;
        while (results.popError(e)) {
            for (const auto& part : e.context)
                errors += part;
            errors += ": " + e.description + "\n";
        }
    }
    return errors;
}
#endif

TEST_F(CliTest, JsonReportFollowsItsSchema) {
#ifndef KESTRANE_HAVE_VALIJSON
    GTEST_SKIP() << "valijson (libvalijson-dev) is not installed";
#else
    TempPrefix prefix(kMachine, userReg() + "\n[Software\\\\WinRAR] 1700000000\n");
    log.findings["Cookies"] = 1;
    log.findings["mspaint"] = 1;
    for (std::vector<std::string> args : {std::vector<std::string>{"scan", "--json"},
                                          std::vector<std::string>{"scan", "--applications", "--json"},
                                          std::vector<std::string>{"repair", "--json"}}) {
        args.insert(args.begin(), {"--prefix", prefix.path().string()});
        auto r = run(args);
        ASSERT_EQ(r.status, 0) << r.err.str();
        json doc = json::parse(r.out.str());
        EXPECT_EQ(schemaErrors(doc), "") << args[2];
        // The keys come in the documented order: "version" first.
        EXPECT_EQ(r.out.str().find("\"version\""), 4u);
    }

    // The schema does catch a broken report.
    TempPrefix again("", userReg());
    json doc = json::parse(run({"--prefix", again.path().string(), "scan", "--json"}).out.str());
    ASSERT_EQ(schemaErrors(doc), "");
    doc["summary"][3]["count"] = "3";
    EXPECT_NE(schemaErrors(doc), "");
    doc = json::parse(run({"--prefix", again.path().string(), "scan", "--json"}).out.str());
    doc["badges"].erase("obpriv");
    EXPECT_NE(schemaErrors(doc), "");
#endif
}

TEST_F(CliTest, ComputerSummaryInJson) {
    TempPrefix prefix(kMachine, userReg());
    auto r = run({"--prefix", prefix.path().string(), "scan", "--json"});
    ASSERT_EQ(r.status, 0);
    json doc = json::parse(r.out.str());
    EXPECT_EQ(doc["version"], 1);
    EXPECT_EQ(doc["mode"], "computer");
    ASSERT_EQ(doc["summary"].size(), 21u);
    const json& backup = doc["summary"][0];
    EXPECT_EQ(backup["caption"], "Create Registry Backup");
    EXPECT_TRUE(backup["count"].is_null());
    EXPECT_TRUE(backup["category"].is_null());
    EXPECT_TRUE(backup["available"]);  // the registry editor makes backups
    EXPECT_EQ(doc["summary"][1]["count"], 2);
    EXPECT_TRUE(doc["summary"][1]["available"]);
    EXPECT_FALSE(doc["summary"][2]["available"]);
    EXPECT_FALSE(doc["summary"][20]["checked"]);
    const json& lvsp = doc["lists"]["lvsp"];
    ASSERT_EQ(lvsp["rows"].size(), 2u);
    EXPECT_EQ(lvsp["columns"][3]["caption"], "Registry Location");
    EXPECT_EQ(lvsp["rows"][1]["caption"], "Old");
    EXPECT_EQ(lvsp["rows"][1]["subitems"][1], "C:\\old\\old.exe /min");
    EXPECT_EQ(doc["badges"]["obmainerror"]["colour"], 255);
    EXPECT_TRUE(doc["badges"]["obmainerror"]["blinking"]);
}

// --- undo

TEST_F(CliTest, ARepairWritesItsUndoAndUndoGivesTheRegistryBack) {
    TempPrefix prefix(kMachine, userReg());
    const std::string p = prefix.path().string();
    auto r = run({"--prefix", p, "repair", "--json"});
    ASSERT_EQ(r.status, 0) << r.err.str();
    EXPECT_TRUE(userRegRunValues(prefix).empty());
    json doc = json::parse(r.out.str());
    ASSERT_TRUE(doc["undo"].is_string());
    const std::string name = doc["undo"];
    EXPECT_EQ(name.rfind("Undo_", 0), 0u);
    const auto undoFolder = prefix.driveC() / "Program Files/Kestrane Professional/Undo";
    EXPECT_TRUE(std::filesystem::is_regular_file(undoFolder / name));

    auto list = run({"--prefix", p, "undo", "--list", "--json"});
    ASSERT_EQ(list.status, 0) << list.err.str();
    json rows = json::parse(list.out.str());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]["file"], name);

    // Refused while Wine runs, then loaded back: both values return.
    {
        FakeWineServer server(prefix.path());
        EXPECT_EQ(run({"--prefix", p, "undo", name}).status, 4);
    }
    EXPECT_TRUE(userRegRunValues(prefix).empty());
    auto undone = run({"--prefix", p, "undo", name});
    ASSERT_EQ(undone.status, 0) << undone.err.str();
    EXPECT_EQ(userRegRunValues(prefix), (std::vector<std::string>{"\"Gone\"", "\"Old\""}));
    const std::string text = readFile(prefix.userReg());
    EXPECT_NE(text.find("\"Old\"=\"C:\\\\old\\\\old.exe /min\""), std::string::npos);

    // Names that are no file of the folder.
    EXPECT_EQ(run({"--prefix", p, "undo", "../x.reg"}).status, 2);
    EXPECT_EQ(run({"--prefix", p, "undo", "Undo_none.reg"}).status, 2);
    EXPECT_EQ(run({"--prefix", p, "undo"}).status, 2);
    // A scan writes none.
    json scan = json::parse(run({"--prefix", p, "scan", "--json"}).out.str());
    EXPECT_TRUE(scan["undo"].is_null());
}

TEST_F(CliTest, ARepairWithNowhereForItsUndoChangesNothing) {
    TempPrefix prefix("", userReg());  // no program-files folder: no undo folder
    const std::string before = readFile(prefix.userReg());
    auto r = run({"--prefix", prefix.path().string(), "repair"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.str().find("The undo file could not be written"), std::string::npos) << r.err.str();
    EXPECT_EQ(readFile(prefix.userReg()), before);
}

// --- every prefix on the machine

// A home folder with ~/.wine and a winetricks prefix, both with the two Run values.
struct TwoPrefixHome {
    std::filesystem::path home = makeTempDir("kestrane-cli-home");
    std::filesystem::path wine = home / ".wine";
    std::filesystem::path game = home / ".local/share/wineprefixes/game";
    EnvGuard homeGuard{"HOME", home.string()};
    EnvGuard prefixGuard{"WINEPREFIX", std::nullopt};

    TwoPrefixHome() {
        TempPrefix source(kMachine, userReg());
        for (const auto& target : {wine, game}) {
            std::filesystem::create_directories(target.parent_path());
            std::filesystem::copy(source.path(), target,
                                  std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks);
        }
    }
    ~TwoPrefixHome() { std::filesystem::remove_all(home); }
};

TEST_F(CliTest, PrefixesListsEveryPrefixFound) {
    TwoPrefixHome home;
    auto r = run({"prefixes", "--json"});
    ASSERT_EQ(r.status, 0) << r.err.str();
    json doc = json::parse(r.out.str());
    ASSERT_EQ(doc["prefixes"].size(), 2u);
    EXPECT_EQ(doc["prefixes"][0]["source"], "~/.wine");
    EXPECT_EQ(doc["prefixes"][0]["path"], home.wine.string());
    EXPECT_EQ(doc["prefixes"][1]["name"], "game");
    EXPECT_EQ(doc["prefixes"][1]["source"], "winetricks");
    EXPECT_EQ(doc["prefixes"][1]["arch"], "win64");
    EXPECT_TRUE(doc["prefixes"][1]["wineServer"].is_null());
    EXPECT_GT(doc["prefixes"][1]["sizeOnDisk"].get<long long>(), 0);
    auto text = run({"prefixes"});
    EXPECT_NE(text.out.str().find("winetricks          64-bit"), std::string::npos) << text.out.str();
}

TEST_F(CliTest, AllScansEveryPrefixAndRepairSkipsThoseWineRunsOn) {
    TwoPrefixHome home;
    auto scan = run({"scan", "--all", "--json"});
    ASSERT_EQ(scan.status, 0) << scan.err.str();
    json reports = json::parse(scan.out.str());
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0]["prefix"], home.wine.string());
    EXPECT_EQ(reports[1]["prefix"], home.game.string());
    EXPECT_EQ(reports[1]["lists"]["lvsp"]["rows"].size(), 2u);
    EXPECT_EQ(run({"--prefix", home.wine.string(), "scan", "--all"}).status, 2);

    CliRun repair;
    {
        FakeWineServer server(home.wine);
        repair = run({"repair", "--all", "--json"});
    }
    EXPECT_EQ(repair.status, 4);
    EXPECT_NE(repair.err.str().find("Close all Wine programs of this prefix first"), std::string::npos);
    json repaired = json::parse(repair.out.str());
    ASSERT_EQ(repaired.size(), 1u);  // the prefix Wine ran on has no report
    EXPECT_EQ(repaired[0]["prefix"], home.game.string());
    EXPECT_NE(readFile(home.wine / "user.reg").find("\"Gone\""), std::string::npos);
    EXPECT_EQ(readFile(home.game / "user.reg").find("\"Gone\""), std::string::npos);
}

}  // namespace
}  // namespace kestrane::test
