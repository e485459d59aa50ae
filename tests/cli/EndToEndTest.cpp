// kestrane-cli with the real categories on the demo prefix: a complete scan,
// repair all, and a second scan that finds only what was ignored.

#include <gtest/gtest.h>

#include <sstream>

#include <nlohmann/json.hpp>

#include "cli/Cli.h"
#include "demo/DemoPrefix.h"
#include "platform/RegistryStore.h"
#include "support/TempPrefix.h"

namespace kestrane::test {
namespace {

using nlohmann::json;

struct Outcome {
    int status = -1;
    json report;
    std::string err;
};

Outcome runCli(std::vector<std::string> args) {
    std::ostringstream out, err;
    cli::Cli cli(cli::Io{out, err, false});
    Outcome o;
    o.status = cli.run(args);
    o.err = err.str();
    if (!out.str().empty())
        o.report = json::parse(out.str());
    return o;
}

std::map<std::string, int> counts(const json& report) {
    std::map<std::string, int> out;
    for (const auto& row : report["summary"])
        if (row["available"].get<bool>() && row["row"].get<int>() > 0)
            out[row["caption"]] = row["count"].get<int>();
    return out;
}

TEST(EndToEnd, RepairAllOnTheDemoLeavesOnlyWhatWasIgnored) {
    auto folder = makeTempDir("kestrane-e2e");
    auto demo = demo::ensureDemoPrefix(folder / "demo", false);
    ASSERT_TRUE(demo.ok()) << demo.error().message;
    const std::string prefix = demo.value().string();
    // The user ignored one uninstall entry in an earlier run.
    std::filesystem::create_directories(demo.value() / "drive_c/Program Files/Kestrane Pro");
    writeFile(demo.value() / "drive_c/Program Files/Kestrane Pro/Dataue.dat",
              "Old Toolbar=HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Old Toolbar\r\n");
    const std::string rows = "1,2,3,4,5,6,7,8,9,20";

    Outcome first = runCli({"--prefix", prefix, "scan", "--only", rows, "--json"});
    ASSERT_EQ(first.status, 0) << first.err;
    auto before = counts(first.report);
    for (const char* row : {"Running While Startup", "Uninstaller Bugs", "Unused Extensions",
                            "Missing ActiveX and DLLs", "Obsolete Software", "Recent Documents",
                            "Progressive Registry Analysis"})
        EXPECT_GT(before[row], 0) << row;
    for (const auto& r : first.report["lists"]["lvue"]["rows"])
        EXPECT_NE(r["caption"], "Old Toolbar");

    Outcome repaired = runCli({"--prefix", prefix, "repair", "--only", rows, "--no-backup", "--json"});
    ASSERT_EQ(repaired.status, 0) << repaired.err;
    for (const auto& [row, n] : counts(repaired.report))
        EXPECT_EQ(n, 0) << row;

    Outcome second = runCli({"--prefix", prefix, "scan", "--only", rows, "--json"});
    ASSERT_EQ(second.status, 0) << second.err;
    for (const auto& [row, n] : counts(second.report))
        EXPECT_EQ(n, 0) << row << " after the repair";

    // The ignored entry is still in the registry; what was found is gone.
    auto store = reg::RegistryStore::openPrefix(demo.value());
    ASSERT_TRUE(store.ok());
    const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    EXPECT_TRUE(store.value()->keyExists(reg::Root::LocalMachine, uninstall + "Old Toolbar"));
    EXPECT_FALSE(store.value()->keyExists(reg::Root::LocalMachine, uninstall + "Shared Runtime 2005"));
    std::filesystem::remove_all(folder);
}

// Every category of both summaries on the demo: each finds something (but
// the three that look at nothing), repair all leaves nothing a rescan finds
// but what a repair cannot delete (the Flash Player's folders).
TEST(EndToEnd, EveryCategoryOnTheDemo) {
    auto folder = makeTempDir("kestrane-e2e-all");
    auto demo = demo::ensureDemoPrefix(folder / "demo", false);
    ASSERT_TRUE(demo.ok()) << demo.error().message;
    const std::string prefix = demo.value().string();

    Outcome scanned = runCli({"--prefix", prefix, "scan", "--json"});
    ASSERT_EQ(scanned.status, 0) << scanned.err;
    for (const auto& row : scanned.report["summary"]) {
        const std::string caption = row["caption"];
        if (row["row"] == 0) continue;
        if (caption == "Clipboard") {
            EXPECT_FALSE(row["available"].get<bool>());  // no desktop here
            continue;
        }
        const bool empty = caption == "Help Files" || caption == "Fonts Registration" || caption == "Virtual Components";
        if (caption == "Progressive Registry Analysis") continue;  // unchecked at start
        EXPECT_EQ(row["count"].get<int>() > 0, !empty) << caption;
    }
    EXPECT_EQ(scanned.report["lists"]["lvbin"]["rows"][0]["caption"], "3 files in Recycle Bin");

    Outcome repaired = runCli({"--prefix", prefix, "repair", "--no-backup", "--json"});
    ASSERT_EQ(repaired.status, 0) << repaired.err;
    Outcome again = runCli({"--prefix", prefix, "scan", "--json"});
    ASSERT_EQ(again.status, 0) << again.err;
    for (const auto& [row, n] : counts(again.report))
        EXPECT_EQ(n, 0) << row << " after the repair";
    // The other prefix's entry stays in the demo's Trash.
    EXPECT_TRUE(std::filesystem::exists(demo.value() / ".Trash-demo/files/elsewhere.txt"));

    Outcome apps = runCli({"--prefix", prefix, "scan", "--applications", "--json"});
    ASSERT_EQ(apps.status, 0) << apps.err;
    ASSERT_EQ(apps.report["summary"].size(), 16u);
    for (const auto& row : apps.report["summary"]) {
        EXPECT_TRUE(row["available"].get<bool>()) << row["caption"];
        EXPECT_GT(row["count"].get<int>(), 0) << row["caption"];
    }
    Outcome appsRepaired = runCli({"--prefix", prefix, "repair", "--applications", "--json"});
    ASSERT_EQ(appsRepaired.status, 0) << appsRepaired.err;
    Outcome appsAgain = runCli({"--prefix", prefix, "scan", "--applications", "--json"});
    for (const auto& [row, n] : counts(appsAgain.report))
        EXPECT_EQ(n, 0) << row << " after the repair";
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kestrane::test
