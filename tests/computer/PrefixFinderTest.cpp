// Finding every prefix of a home folder: the places of each front end in
// their order, one entry per real folder, names from the front ends' own
// settings, warnings for the settings files that cannot be read, and the
// details of each prefix (architecture, size, registry time, wineserver).

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "computer/PrefixFinder.h"
#include "support/FakeWineServer.h"
#include "support/TempDir.h"
#include "support/TempPrefix.h"

namespace kestrane::test {
namespace {

namespace fs = std::filesystem;

// Each prefix as "name | source | path as named | arch".
std::vector<std::string> rows(const FindResult& found) {
    std::vector<std::string> out;
    for (const FoundPrefix& p : found.prefixes)
        out.push_back(p.name + " | " + p.source + " | " + p.path.string() + " | " + p.arch);
    return out;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines)
        out += line + "\n";
    return out;
}

bool startsWith(const std::string& s, const std::string& start) { return s.rfind(start, 0) == 0; }

class PrefixFinderTest : public ::testing::Test {
protected:
    fs::path at(std::string_view relative) const { return m_home.path() / relative; }
    std::string home() const { return m_home.path().string(); }

    // A folder as Wine leaves it: the hives (system.reg with an #arch= line
    // unless arch is empty), drive_c, and dosdevices with its links.
    fs::path makePrefix(std::string_view relative, std::string_view arch = "win64") const {
        const fs::path folder = at(relative);
        const std::string archLine = arch.empty() ? "" : "#arch=" + std::string(arch) + "\n";
        writeFile(folder / "system.reg",
                  "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n" + archLine +
                      "\n[Software] 1700000000\n");
        writeFile(folder / "user.reg",
                  "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n" + archLine);
        fs::create_directories(folder / "drive_c" / "windows");
        fs::create_directories(folder / "dosdevices");
        fs::create_symlink("../drive_c", folder / "dosdevices" / "c:");
        fs::create_symlink("/", folder / "dosdevices" / "z:");
        return folder;
    }

    void write(std::string_view relative, std::string_view content) const { writeFile(at(relative), content); }

    void link(const fs::path& target, std::string_view relative) const {
        fs::create_directories(at(relative).parent_path());
        fs::create_symlink(target, at(relative));
    }

    FindResult find(std::optional<fs::path> winePrefix = std::nullopt, bool measureSizes = true) const {
        FinderInput input;
        input.home = m_home.path();
        input.winePrefix = std::move(winePrefix);
        input.measureSizes = measureSizes;
        return findPrefixes(input);
    }

    TempDir m_home{"kestrane-home"};
};

// A home folder with each front end's layout, the names they give, the
// places that name the same folder twice, and broken settings files.
class EveryFrontEnd : public PrefixFinderTest {
protected:
    void SetUp() override {
        // $WINEPREFIX names winetricks' "office" through a link.
        makePrefix(".local/share/wineprefixes/office", "win32");
        link(at(".local/share/wineprefixes/office"), "links/work");
        makePrefix(".wine", "");
        makePrefix(".local/share/wineprefixes/games");
        write(".local/share/wineprefixes/nodrive/system.reg", "WINE REGISTRY Version 2\n");  // no drive_c
        makeBottles();
        makeLutris();
        makeSteam();
        makeHeroic();
        makePrefix(".PlayOnLinux/wineprefix/Office2010", "win32");
        makePrefix(".cxoffice/Steam", "win32");
        fs::create_directories(at(".cxoffice/installers"));
    }

    void makeBottles() const {
        makePrefix(".local/share/bottles/bottles/Gaming");
        write(".local/share/bottles/bottles/Gaming/bottle.yml",
              "Arch: win64\nName: My Gaming Bottle\nRunner: soda-7.0-9\nEnvironment: Gaming\n");
        makePrefix(".local/share/bottles/bottles/broken");
        write(".local/share/bottles/bottles/broken/bottle.yml", "Name: [unclosed\nArch: win64\n");
        makePrefix(".local/share/bottles/bottles/noyml");
        makePrefix(".var/app/com.usebottles.bottles/data/bottles/bottles/Work");
        write(".var/app/com.usebottles.bottles/data/bottles/bottles/Work/bottle.yml", "Name: Flat Work\n");
    }

    void makeLutris() const {
        makePrefix("Games/diablo", "win32");
        write(".config/lutris/games/diablo-1700000000.yml",
              "name: Diablo\ngame:\n  exe: drive_c/Diablo/Diablo.exe\n  prefix: ~/Games/diablo\n"
              "system:\n  disable_runtime: false\nwine:\n  version: lutris-7.2\n");
        write(".config/lutris/games/broken.yml", "game:\n  prefix: [oops\n");
        write(".config/lutris/games/native.yml", "game:\n  exe: /usr/games/native\nname: Native\n");
        makePrefix("Games/witcher");
        write(".local/share/lutris/games/witcher-1.yml", "game:\n  prefix: \"" + home() + "/Games/witcher\"\n");
    }

    void makeSteam() const {
        // ~/.steam/steam is a link to the real root, whose steamapps counts as a library too.
        makePrefix(".local/share/Steam/steamapps/compatdata/20/pfx");
        makePrefix(".local/share/Steam/steamapps/compatdata/228980/pfx");
        write(".local/share/Steam/steamapps/compatdata/1000/version", "8.0-4\n");  // no pfx
        write(".local/share/Steam/steamapps/appmanifest_228980.acf",
              "\"AppState\"\n{\n\t\"appid\"\t\t\"228980\"\n\t\"name\"\t\t\"Steamworks Common Redistributables\"\n}\n");
        write(".local/share/Steam/steamapps/libraryfolders.vdf",
              "\"libraryfolders\"\n{\n"
              "\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" + home() + "/.local/share/Steam\"\n\t\t\"label\"\t\t\"\"\n"
              "\t\t\"apps\"\n\t\t{\n\t\t\t\"228980\"\t\t\"0\"\n\t\t}\n\t}\n"
              "\t\"1\"\n\t{\n\t\t\"path\"\t\t\"" + home() + "/SteamLibrary\"\n\t\t\"label\"\t\t\"Games\"\n\t}\n"
              "}\n");
        link(at(".local/share/Steam"), ".steam/steam");
        makePrefix("SteamLibrary/steamapps/compatdata/730/pfx");
        makePrefix("SteamLibrary/steamapps/compatdata/440/pfx");
        write("SteamLibrary/steamapps/appmanifest_440.acf",
              "\"AppState\"\r\n{\r\n\t\"appid\"\t\t\"440\"\r\n\t\"name\"\t\t\"Team Fortress 2\"\r\n}\r\n");
        write("SteamLibrary/steamapps/appmanifest_730.acf",
              "\"AppState\"\n{\n\t\"appid\"\t\t\"730\"\n\t\"name\"\t\t\"Counter-Strike\n");
        const std::string flatpak = ".var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/";
        makePrefix(flatpak + "compatdata/570/pfx");
        write(flatpak + "libraryfolders.vdf",
              "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"/nowhere\"\n\t}\n");
    }

    void makeHeroic() const {
        makePrefix("Games/Heroic/Prefixes/Hades");
        fs::create_directories(at("Games/Heroic/Prefixes/empty"));
        write(".config/heroic/GamesConfig/abc.json",
              R"({"abc": {"winePrefix": "~/Games/Heroic/Prefixes/Hades", "wineVersion": {"type": "wine"}},
                  "version": "v0", "explicit": true})");
        write(".config/heroic/GamesConfig/broken.json", R"({"game": {"winePrefix": )");
        makePrefix("Proton/fort/pfx");  // a Proton game: the prefix is in pfx
        write(".config/heroic/GamesConfig/def.json",
              R"({"Fortnite": {"winePrefix": ")" + home() + R"(/Proton/fort"}, "version": "v0"})");
        makePrefix("HeroicFlatpak/Witch");
        write(".var/app/com.heroicgameslauncher.hgl/config/heroic/GamesConfig/1207658924.json",
              R"({"1207658924": {"winePrefix": ")" + home() + R"(/HeroicFlatpak/Witch"}})");
    }
};

TEST_F(EveryFrontEnd, EachPrefixOnceInTheOrderOfThePlacesThatNameIt) {
    const FindResult found = find(at("links/work"));
    const std::string h = home();
    const std::vector<std::string> expected = {
        "work | WINEPREFIX | " + h + "/links/work | win32",
        ".wine | ~/.wine | " + h + "/.wine | ",
        "games | winetricks | " + h + "/.local/share/wineprefixes/games | win64",
        "My Gaming Bottle | Bottles | " + h + "/.local/share/bottles/bottles/Gaming | win64",
        "broken | Bottles | " + h + "/.local/share/bottles/bottles/broken | win64",
        "noyml | Bottles | " + h + "/.local/share/bottles/bottles/noyml | win64",
        "Flat Work | Bottles (Flatpak) | " + h + "/.var/app/com.usebottles.bottles/data/bottles/bottles/Work | win64",
        "Diablo | Lutris | " + h + "/Games/diablo | win32",
        "witcher-1 | Lutris | " + h + "/Games/witcher | win64",
        "Steam app 20 | Steam | " + h + "/.steam/steam/steamapps/compatdata/20/pfx | win64",
        "Steamworks Common Redistributables | Steam | " + h + "/.steam/steam/steamapps/compatdata/228980/pfx | win64",
        "Team Fortress 2 | Steam | " + h + "/SteamLibrary/steamapps/compatdata/440/pfx | win64",
        "Steam app 730 | Steam | " + h + "/SteamLibrary/steamapps/compatdata/730/pfx | win64",
        "Steam app 570 | Steam (Flatpak) | " + h +
            "/.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/compatdata/570/pfx | win64",
        "Hades | Heroic | " + h + "/Games/Heroic/Prefixes/Hades | win64",
        "Fortnite | Heroic | " + h + "/Proton/fort/pfx | win64",
        "1207658924 | Heroic | " + h + "/HeroicFlatpak/Witch | win64",
        "Office2010 | PlayOnLinux | " + h + "/.PlayOnLinux/wineprefix/Office2010 | win32",
        "Steam | CrossOver | " + h + "/.cxoffice/Steam | win32",
    };
    EXPECT_EQ(joined(rows(found)), joined(expected));
}

TEST_F(EveryFrontEnd, APrefixNamedTwiceIsListedByItsRealPath) {
    const FindResult found = find(at("links/work"));
    ASSERT_FALSE(found.prefixes.empty());
    EXPECT_EQ(found.prefixes[0].realPath, fs::canonical(at(".local/share/wineprefixes/office")));
    std::set<fs::path> real;
    for (const FoundPrefix& p : found.prefixes) {
        EXPECT_EQ(p.realPath, fs::canonical(p.path)) << p.name;
        EXPECT_TRUE(real.insert(p.realPath).second) << p.realPath << " is listed twice";
    }
    // Without $WINEPREFIX the same folder is winetricks' and keeps its own name.
    const std::vector<std::string> names = rows(find());
    EXPECT_NE(std::find(names.begin(), names.end(),
                        "office | winetricks | " + home() + "/.local/share/wineprefixes/office | win32"),
              names.end());
}

TEST_F(EveryFrontEnd, BrokenSettingsFilesAreSkippedWithAWarningEach) {
    const FindResult found = find(at("links/work"));
    const std::string h = home();
    ASSERT_EQ(found.warnings.size(), 5u) << joined(found.warnings);
    EXPECT_TRUE(
        startsWith(found.warnings[0], h + "/.local/share/bottles/bottles/broken/bottle.yml: not valid YAML, "))
        << found.warnings[0];
    EXPECT_TRUE(startsWith(found.warnings[1], h + "/.config/lutris/games/broken.yml: not valid YAML, "))
        << found.warnings[1];
    EXPECT_EQ(found.warnings[2],
              h + "/SteamLibrary/steamapps/appmanifest_730.acf, line 4: "
                  "the quoted text that starts here is not closed");
    EXPECT_EQ(found.warnings[3], h + "/.var/app/com.valvesoftware.Steam/.local/share/Steam/steamapps/"
                                     "libraryfolders.vdf, line 2: the { here is not closed");
    EXPECT_TRUE(startsWith(found.warnings[4], h + "/.config/heroic/GamesConfig/broken.json: not valid JSON, "))
        << found.warnings[4];
}

TEST_F(PrefixFinderTest, WithoutAHomeFolderOnlyWineprefixIsLookedAt) {
    makePrefix(".wine");
    const fs::path elsewhere = makePrefix("elsewhere/");
    FinderInput input;
    input.winePrefix = at("elsewhere/");
    const FindResult found = findPrefixes(input);
    ASSERT_EQ(found.prefixes.size(), 1u) << joined(rows(found));
    EXPECT_EQ(found.prefixes[0].name, "elsewhere");
    EXPECT_EQ(found.prefixes[0].source, "WINEPREFIX");
    EXPECT_EQ(found.prefixes[0].realPath, fs::canonical(elsewhere));
    EXPECT_TRUE(found.warnings.empty());
    EXPECT_TRUE(findPrefixes(FinderInput{}).prefixes.empty());
}

TEST_F(PrefixFinderTest, TheOlderLibraryFoldersFormNamesLibrariesDirectly) {
    fs::create_directories(at(".local/share/Steam/steamapps"));
    write(".local/share/Steam/steamapps/libraryfolders.vdf",
          "\"LibraryFolders\"\n{\n\t\"TimeNextStatsReport\"\t\t\"1600000000\"\n"
          "\t\"ContentStatsID\"\t\t\"-4367789898226395012\"\n\t\"1\"\t\t\"" + home() + "/OldLibrary\"\n}\n");
    makePrefix("OldLibrary/steamapps/compatdata/10/pfx");
    write("OldLibrary/steamapps/appmanifest_10.acf", "\"AppState\" { \"appid\" \"10\" \"name\" \"Counter-Strike\" }");
    const FindResult found = find();
    EXPECT_EQ(joined(rows(found)),
              joined({"Counter-Strike | Steam | " + home() + "/OldLibrary/steamapps/compatdata/10/pfx | win64"}));
    EXPECT_TRUE(found.warnings.empty()) << joined(found.warnings);
}

TEST_F(PrefixFinderTest, LinkLoopsAreNotFollowed) {
    const fs::path real = makePrefix(".local/share/wineprefixes/real");
    link(at(".local/share/wineprefixes/loop"), ".local/share/wineprefixes/loop");
    link(at(".cxoffice"), ".cxoffice/up");
    link(at("spin"), "spin");
    fs::create_symlink("..", real / "drive_c" / "parent");
    fs::create_directories(at(".local/share/Steam/steamapps"));
    write(".local/share/Steam/steamapps/libraryfolders.vdf",
          "\"libraryfolders\" { \"1\" { \"path\" \"" + home() + "/spin\" } }");
    write(".config/lutris/games/spin.yml", "game:\n  prefix: ~/spin\n");
    const FindResult found = find();
    EXPECT_EQ(joined(rows(found)),
              joined({"real | winetricks | " + home() + "/.local/share/wineprefixes/real | win64"}));
    EXPECT_TRUE(found.warnings.empty()) << joined(found.warnings);
    // drive_c/parent leads back into the prefix: only the hives are counted.
    ASSERT_EQ(found.prefixes.size(), 1u);
    EXPECT_EQ(found.prefixes[0].sizeOnDisk, fs::file_size(real / "system.reg") + fs::file_size(real / "user.reg"));
}

TEST_F(PrefixFinderTest, PathsThatAreNotAbsoluteAreNotResolvedAgainstTheWorkingFolder) {
    write(".config/lutris/games/relative.yml", "game:\n  prefix: Games/relative\n");
    write(".config/heroic/GamesConfig/rel.json", R"({"rel": {"winePrefix": "relative/prefix"}})");
    const FindResult found = find();
    EXPECT_TRUE(found.prefixes.empty()) << joined(rows(found));
    EXPECT_EQ(joined(found.warnings),
              joined({home() + "/.config/lutris/games/relative.yml: the path \"Games/relative\" is not absolute",
                      home() + "/.config/heroic/GamesConfig/rel.json: the path \"relative/prefix\" is not absolute"}));
}

TEST_F(PrefixFinderTest, SettingsFilesOfTheWrongShapeAreWarnedAbout) {
    makePrefix(".local/share/bottles/bottles/Listed");
    fs::create_directories(at(".local/share/bottles/bottles/Listed/bottle.yml"));  // a folder, not a file
    makePrefix(".local/share/bottles/bottles/Scalar");
    write(".local/share/bottles/bottles/Scalar/bottle.yml", "just some text\n");
    write(".config/lutris/games/list.yml", "- game\n- prefix\n");
    write(".config/lutris/games/odd.yml", "game:\n  prefix:\n    - /a\n    - /b\n");
    write(".config/lutris/games/empty.yml", "");
    fs::create_directories(at(".local/share/Steam/steamapps"));
    write(".local/share/Steam/steamapps/libraryfolders.vdf", "\"other\" { \"1\" \"/x\" }");
    write(".config/heroic/GamesConfig/array.json", "[1, 2]");
    const FindResult found = find();
    const std::string h = home();
    EXPECT_EQ(joined(rows(found)),
              joined({"Listed | Bottles | " + h + "/.local/share/bottles/bottles/Listed | win64",
                      "Scalar | Bottles | " + h + "/.local/share/bottles/bottles/Scalar | win64"}));
    EXPECT_EQ(joined(found.warnings),
              joined({h + "/.local/share/bottles/bottles/Listed/bottle.yml: cannot be read: it is not a file",
                      h + "/.local/share/bottles/bottles/Scalar/bottle.yml: does not hold a bottle's settings",
                      h + "/.config/lutris/games/list.yml: does not hold a game's settings",
                      h + "/.config/lutris/games/odd.yml: the game's prefix is not a path",
                      h + "/.local/share/Steam/steamapps/libraryfolders.vdf: holds no libraryfolders object",
                      h + "/.config/heroic/GamesConfig/array.json: does not hold games' settings"}));
}

TEST_F(PrefixFinderTest, ArchitectureSizeAndRegistryTime) {
    const fs::path prefix = at("prefix");
    const std::string system = "WINE REGISTRY Version 2\r\n;; All keys relative to \\\\Machine\r\n\r\n#arch=win32\r\n";
    const std::string user = "WINE REGISTRY Version 2\n\n#arch=win32\n\n[Software] 1700000000\n";
    const std::string exe(1000, 'x');
    writeFile(prefix / "system.reg", system);
    writeFile(prefix / "user.reg", user);
    writeFile(prefix / "drive_c" / "windows" / "notepad.exe", exe);
    fs::create_directories(prefix / "dosdevices");
    fs::create_symlink("../drive_c", prefix / "dosdevices" / "c:");
    fs::create_symlink("/", prefix / "dosdevices" / "z:");
    writeFile(at("big.bin"), std::string(50000, 'b'));
    fs::create_symlink(at("big.bin"), prefix / "drive_c" / "big-link.bin");

    const auto now = fs::file_time_type::clock::now();
    fs::last_write_time(prefix / "system.reg", now - std::chrono::hours(2));
    fs::last_write_time(prefix / "user.reg", now - std::chrono::hours(1));
    FindResult found = find(prefix);
    ASSERT_EQ(found.prefixes.size(), 1u);
    const FoundPrefix& p = found.prefixes[0];
    EXPECT_EQ(p.arch, "win32");
    EXPECT_EQ(p.sizeOnDisk, system.size() + user.size() + exe.size());
    // Unmeasured (the window's chooser, --all): the same prefix, no walk.
    FindResult quick = find(prefix, false);
    ASSERT_EQ(quick.prefixes.size(), 1u);
    EXPECT_EQ(quick.prefixes[0].sizeOnDisk, 0u);
    EXPECT_EQ(quick.prefixes[0].arch, "win32");
    ASSERT_TRUE(p.registryWritten.has_value());
    EXPECT_TRUE(*p.registryWritten == fs::last_write_time(prefix / "user.reg"));
    EXPECT_FALSE(p.wineServer.has_value());

    // The newer hive wins, whichever it is.
    fs::last_write_time(prefix / "system.reg", now - std::chrono::minutes(1));
    found = find(prefix);
    ASSERT_EQ(found.prefixes.size(), 1u);
    ASSERT_TRUE(found.prefixes[0].registryWritten.has_value());
    EXPECT_TRUE(*found.prefixes[0].registryWritten == fs::last_write_time(prefix / "system.reg"));
}

TEST_F(PrefixFinderTest, AMissingUserHiveOrArchLineLeavesThoseDetailsOpen) {
    const fs::path prefix = at("bare");
    writeFile(prefix / "system.reg", "WINE REGISTRY Version 2\n\n[Software] 1\n#arch=win64\n");  // after the first key
    fs::create_directories(prefix / "drive_c");
    const FindResult found = find(prefix);
    ASSERT_EQ(found.prefixes.size(), 1u);
    EXPECT_EQ(found.prefixes[0].arch, "");
    ASSERT_TRUE(found.prefixes[0].registryWritten.has_value());
    EXPECT_TRUE(*found.prefixes[0].registryWritten == fs::last_write_time(prefix / "system.reg"));
}

TEST_F(PrefixFinderTest, TheWineServerServingAPrefixIsReported) {
    const fs::path served = makePrefix(".local/share/wineprefixes/served");
    makePrefix(".local/share/wineprefixes/idle");
    FakeWineServer server(served);
    const FindResult found = find();
    ASSERT_EQ(found.prefixes.size(), 2u) << joined(rows(found));
    EXPECT_EQ(found.prefixes[0].name, "idle");
    EXPECT_FALSE(found.prefixes[0].wineServer.has_value());
    EXPECT_EQ(found.prefixes[1].name, "served");
    EXPECT_EQ(found.prefixes[1].wineServer, server.pid());
}

}  // namespace
}  // namespace kestrane::test
