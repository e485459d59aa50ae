#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/RegistryStore.h"
#include "platform/WineServer.h"
#include "support/FakeWineServer.h"
#include "support/TempPrefix.h"

using namespace kestrane;
using namespace kestrane::reg;
using kestrane::test::TempPrefix;
using kestrane::test::readFile;

namespace {

const char* kSystem =
    "\n[Software\\\\Classes\\\\.txt] 1\n@=\"txtfile\"\n"
    "\n[Software\\\\Classes\\\\CLSID\\\\{A}] 1\n@=\"machine A\"\n\"OnlyMachine\"=\"m\"\n"
    "\n[Software\\\\Classes\\\\Shared] 1\n\"v\"=\"machine\"\n"
    "\n[Software\\\\Wow6432Node\\\\Classes] 1\n#link\n\"SymbolicLinkValue\"=hex(6):5c,00\n";
const char* kUser =
    "\n[Software\\\\Classes\\\\CLSID\\\\{A}] 1\n@=\"user A\"\n"
    "\n[Software\\\\Classes\\\\CLSID\\\\{B}] 1\n@=\"user B\"\n"
    "\n[Software\\\\Classes\\\\Shared] 1\n\"v\"=\"user\"\n";

std::unique_ptr<RegistryStore> open(const TempPrefix& p) {
    auto r = RegistryStore::openPrefix(p.path());
    EXPECT_TRUE(r.ok()) << (r.ok() ? "" : r.error().message);
    return r.ok() ? std::move(r.value()) : nullptr;
}

}  // namespace

TEST(RegistryStore, ClassesRootMergesBothHivesUserFirst) {
    TempPrefix prefix(kSystem, kUser);
    auto store = open(prefix);
    auto clsid = store->openKey(Root::ClassesRoot, "CLSID");
    ASSERT_TRUE(clsid.ok());
    EXPECT_EQ(store->subkeyNames(*clsid), (std::vector<std::string>{"{A}", "{B}"}));
    auto a = store->openKey(Root::ClassesRoot, "clsid\\{a}");
    ASSERT_TRUE(a.ok());
    EXPECT_EQ(store->queryValue(*a, "")->text(), "user A");
    EXPECT_EQ(store->queryValue(*a, "OnlyMachine")->text(), "m");
    EXPECT_EQ(store->valueNames(*a), (std::vector<std::string>{"", "OnlyMachine"}));
    EXPECT_TRUE(store->keyExists(Root::ClassesRoot, ".TXT"));
    EXPECT_FALSE(store->keyExists(Root::ClassesRoot, ".doc"));

    // Deleting through HKCR removes the key from both hives.
    ASSERT_TRUE(store->deleteKey(Root::ClassesRoot, "Shared").ok());
    EXPECT_FALSE(store->keyExists(Root::LocalMachine, "Software\\Classes\\Shared"));
    EXPECT_FALSE(store->keyExists(Root::CurrentUser, "Software\\Classes\\Shared"));
    EXPECT_FALSE(store->deleteKey(Root::ClassesRoot, "CLSID").ok());  // has subkeys
}

TEST(RegistryStore, LinkKeysAreOpaque) {
    TempPrefix prefix(kSystem, kUser);
    auto store = open(prefix);
    auto link = store->openKey(Root::LocalMachine, "Software\\Wow6432Node\\Classes", KEY_ALL_ACCESS);
    ASSERT_TRUE(link.ok());
    EXPECT_TRUE(store->isLink(*link));
    EXPECT_TRUE(store->valueNames(*link).empty());
    EXPECT_FALSE(store->setValue(*link, Value::string("a", "b")).ok());
    EXPECT_FALSE(store->createKey(Root::LocalMachine, "Software\\Wow6432Node\\Classes\\x").ok());
    EXPECT_FALSE(store->keyExists(Root::LocalMachine, "Software\\Wow6432Node\\Classes\\.txt"));
    EXPECT_FALSE(store->deleteKey(Root::LocalMachine, "Software\\Wow6432Node\\Classes").ok());
}

TEST(RegistryStore, SavesOnlyChangedHivesAtomicallyKeepingMode) {
    TempPrefix prefix(kSystem, kUser);
    ::chmod(prefix.userReg().c_str(), 0600);
    const std::string systemBefore = readFile(prefix.systemReg());
    struct stat before {};
    ::stat(prefix.systemReg().c_str(), &before);
    auto store = open(prefix);
    ASSERT_TRUE(store->save().ok());  // nothing changed: nothing written
    auto key = store->createKey(Root::CurrentUser, "Software\\KestranePro");
    ASSERT_TRUE(key.ok());
    ASSERT_TRUE(store->setValue(*key, Value::string("autoscan", "0")).ok());
    EXPECT_TRUE(store->changed());
    ASSERT_TRUE(store->save().ok());
    EXPECT_FALSE(store->changed());
    struct stat after {};
    ::stat(prefix.systemReg().c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);  // system.reg untouched
    EXPECT_EQ(readFile(prefix.systemReg()), systemBefore);
    struct stat user {};
    ::stat(prefix.userReg().c_str(), &user);
    EXPECT_EQ(user.st_mode & 0777, 0600u);
    const std::string saved = readFile(prefix.userReg());
    EXPECT_NE(saved.find("[Software\\\\KestranePro] "), std::string::npos);
    EXPECT_NE(saved.find("\"autoscan\"=\"0\"\n"), std::string::npos);
    // A second store reads what the first wrote; no temporary files are left.
    auto again = open(prefix);
    EXPECT_TRUE(again->keyExists(Root::CurrentUser, "software\\kestranepro"));
    for (auto& e : std::filesystem::directory_iterator(prefix.path()))
        EXPECT_EQ(e.path().filename().string().find(".kestrane-"), std::string::npos) << e.path();
}

TEST(RegistryStore, RefusesToOverwriteAFileChangedOnDisk) {
    TempPrefix prefix(kSystem, kUser);
    auto store = open(prefix);
    auto key = store->createKey(Root::LocalMachine, "Software\\New");
    ASSERT_TRUE(key.ok());
    ASSERT_TRUE(store->setValue(*key, Value::dword("d", 1)).ok());
    // Wine (or anything) rewrites the file in the meantime.
    const std::string theirs = readFile(prefix.systemReg()) + "\n[Software\\\\Theirs] 9\n";
    test::writeFile(prefix.path() / "tmp.reg", theirs);
    std::filesystem::rename(prefix.path() / "tmp.reg", prefix.systemReg());
    auto s = store->save();
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().kind, ErrorKind::ChangedOnDisk);
    EXPECT_EQ(readFile(prefix.systemReg()), theirs);
}

namespace {

// The checks a user without write access to system.reg sees, as an exit code
// of 0 when they all hold (run in a child process so that root can drop its rights).
int readOnlyChecks(const std::filesystem::path& prefix) {
    auto r = RegistryStore::openPrefix(prefix);
    if (!r.ok())
        return 10;
    auto& store = *r.value();
    if (store.writable(Root::LocalMachine))
        return 11;
    if (!store.openKey(Root::LocalMachine, "Software\\Classes", KEY_READ).ok())
        return 12;
    auto full = store.openKey(Root::LocalMachine, "Software\\Classes", KEY_ALL_ACCESS);
    if (full.ok() || full.error().kind != ErrorKind::AccessDenied)
        return 13;
    if (store.createKey(Root::LocalMachine, "Software\\X").ok())
        return 14;
    return 0;
}

}  // namespace

TEST(RegistryStore, ReadOnlyHiveCannotBeOpenedWithFullAccess) {
    TempPrefix prefix(kSystem, kUser);
    ::chmod(prefix.path().c_str(), 0755);
    ::chmod(prefix.userReg().c_str(), 0644);
    ::chmod(prefix.systemReg().c_str(), 0444);
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(20);
        ::_exit(readOnlyChecks(prefix.path()));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(RegistryStore, ReadOnlyFlagRefusesChanges) {
    // The same rule as a file we may not write, for runs as root.
    TempPrefix prefix(kSystem, kUser);
    auto store = open(prefix);
    store->setReadOnly(Root::LocalMachine, true);
    EXPECT_FALSE(store->openKey(Root::LocalMachine, "Software", KEY_ALL_ACCESS).ok());
    EXPECT_FALSE(store->createKey(Root::LocalMachine, "Software\\X").ok());
    EXPECT_FALSE(store->deleteKey(Root::ClassesRoot, ".txt").ok());
    EXPECT_FALSE(store->changed());
}

TEST(RegistryStore, BadPrefixesAreErrorsThatNameTheFile) {
    auto missing = RegistryStore::openPrefix("/nonexistent/prefix");
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().kind, ErrorKind::NotFound);
    EXPECT_NE(missing.error().message.find("/nonexistent/prefix"), std::string::npos);

    TempPrefix broken("WINE REGISTRY Version 2\n\n[Key 1\n", kUser);
    auto r = RegistryStore::openPrefix(broken.path());
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error().kind, ErrorKind::Malformed);
    EXPECT_NE(r.error().message.find("system.reg, line 3"), std::string::npos) << r.error().message;
}

TEST(RegistryStore, RefusesToSaveWhileAWineServerServesThePrefix) {
    TempPrefix prefix(kSystem, kUser);
    auto store = open(prefix);
    auto key = store->createKey(Root::CurrentUser, "Software\\A");
    ASSERT_TRUE(key.ok());
    ASSERT_TRUE(store->setValue(*key, Value::string("v", "1")).ok());
    const std::string userBefore = readFile(prefix.userReg());
    test::FakeWineServer server(prefix.path());
    EXPECT_EQ(runningWineServer(prefix.path()), server.pid());
    auto s = store->save();
    ASSERT_FALSE(s.ok());
    EXPECT_EQ(s.error().kind, ErrorKind::WineRunning);
    EXPECT_NE(s.error().message.find("Close all Wine programs of this prefix first"), std::string::npos);
    EXPECT_EQ(readFile(prefix.userReg()), userBefore);
    // The server ended (its lock file stays): saving works again.
    server.stop();
    EXPECT_TRUE(std::filesystem::exists(server.serverFolder() / "lock"));
    EXPECT_FALSE(runningWineServer(prefix.path()).has_value());
    EXPECT_TRUE(store->save().ok());
    EXPECT_NE(readFile(prefix.userReg()), userBefore);
}
