#include <gtest/gtest.h>

#include "platform/Registry.h"
#include "support/TempPrefix.h"

using namespace kestrane::reg;
using kestrane::test::TempPrefix;

namespace {

class RegistryOps : public ::testing::Test {
protected:
    void SetUp() override {
        auto machine = Hive::empty("REGISTRY\\Machine");
        auto user = Hive::empty("REGISTRY\\User\\S-1-5-21-0-0-0-1000");
        store = RegistryStore::fromHives(std::move(machine), std::move(user));
    }
    void put(Root root, const std::string& path, Value v) {
        auto k = store->createKey(root, path);
        ASSERT_TRUE(k.ok());
        ASSERT_TRUE(store->setValue(*k, std::move(v)).ok());
    }
    std::unique_ptr<RegistryStore> store;
};

}  // namespace

TEST_F(RegistryOps, StringReadThroughTheFixedBuffer) {
    put(Root::CurrentUser, "Software\\T", Value::string("s255", std::string(255, 'x')));
    put(Root::CurrentUser, "Software\\T", Value::string("s256", std::string(256, 'x')));
    put(Root::CurrentUser, "Software\\T", Value::string("uni", "h\xc3\xa9"));
    put(Root::CurrentUser, "Software\\T", Value::dword("num", 0x00333231));
    put(Root::CurrentUser, "Software\\T", Value::string("exp", "%TEMP%", REG_EXPAND_SZ));
    EXPECT_EQ(regReadString(*store, Root::CurrentUser, "Software\\T", "s255"), std::string(255, 'x'));
    EXPECT_EQ(regReadString(*store, Root::CurrentUser, "Software\\T", "s256"), "");
    EXPECT_EQ(regReadString(*store, Root::CurrentUser, "software\\t", "UNI"), "h\xc3\xa9");
    EXPECT_EQ(regReadString(*store, Root::CurrentUser, "Software\\T", "num"), "123");  // first three bytes
    EXPECT_EQ(regReadString(*store, Root::CurrentUser, "Software\\T", "exp"), "%TEMP%");
    EXPECT_EQ(regReadString(*store, Root::CurrentUser, "Software\\T", "missing"), "");
    EXPECT_EQ(regReadString(*store, Root::CurrentUser, "Software\\Missing", "s255"), "");
    EXPECT_EQ(regReadString(*store, Root::LocalMachine, "Software\\T", "s255"), "");
}

TEST_F(RegistryOps, StringWriteCreatesParentsAndRaisesWhenItCannot) {
    regWriteString(*store, Root::CurrentUser, "Software\\KestranePro\\Deep\\Er", "", "default");
    regWriteString(*store, Root::CurrentUser, "Software\\KestranePro", "autoscan", "0");
    EXPECT_EQ(regReadString(*store, Root::CurrentUser, "Software\\KestranePro\\Deep\\Er", ""), "default");
    EXPECT_EQ(regReadString(*store, Root::CurrentUser, "Software\\KestranePro", "autoscan"), "0");
    store->setReadOnly(Root::LocalMachine, true);
    EXPECT_THROW(regWriteString(*store, Root::LocalMachine, "Software\\X", "a", "b"), RegistryError);
}

TEST_F(RegistryOps, OpenKeyPathRules) {
    put(Root::CurrentUser, "Software\\A\\B\\C", Value::string("v", "1"));
    TRegistry reg(*store);
    EXPECT_EQ(reg.rootKey(), Root::CurrentUser);
    EXPECT_EQ(reg.access(), KEY_ALL_ACCESS);
    ASSERT_TRUE(reg.openKey("\\Software\\A", false));
    ASSERT_TRUE(reg.openKey("B", false));  // relative to the open key
    EXPECT_EQ(reg.currentPath(), "Software\\A\\B");
    EXPECT_FALSE(reg.openKey("Software", false));  // relative: Software\A\B\Software
    EXPECT_EQ(reg.currentPath(), "Software\\A\\B");  // a failed open keeps the key
    ASSERT_TRUE(reg.openKey("\\Software", false));
    EXPECT_TRUE(reg.keyExists("A\\B\\C"));
    EXPECT_TRUE(reg.keyExists("\\Software\\A"));
    EXPECT_FALSE(reg.keyExists("\\A"));
    reg.closeKey();
    ASSERT_TRUE(reg.openKey("Software\\A", false));  // no key open: from the root
    EXPECT_FALSE(reg.openKey("\\Software\\New", false));
    ASSERT_TRUE(reg.openKey("\\Software\\New\\Sub", true));
    EXPECT_TRUE(store->keyExists(Root::CurrentUser, "Software\\New\\Sub"));
    reg.setRootKey(Root::LocalMachine);
    EXPECT_FALSE(reg.hasCurrentKey());
    std::vector<std::string> list{"stale"};
    reg.getValueNames(list);
    EXPECT_TRUE(list.empty());
}

TEST_F(RegistryOps, ListsAndDeletes) {
    put(Root::CurrentUser, "Software\\A", Value::string("b", "1"));
    put(Root::CurrentUser, "Software\\A", Value::string("A", "1"));
    put(Root::CurrentUser, "Software\\A\\x\\y\\z", Value::string("v", "1"));
    put(Root::CurrentUser, "Software\\A\\w", Value::string("v", "1"));
    TRegistry reg(*store);
    ASSERT_TRUE(reg.openKey("\\Software\\A", false));
    std::vector<std::string> list;
    reg.getValueNames(list);
    EXPECT_EQ(list, (std::vector<std::string>{"A", "b"}));
    reg.getKeyNames(list);
    EXPECT_EQ(list, (std::vector<std::string>{"w", "x"}));
    EXPECT_TRUE(reg.valueExists("B"));
    EXPECT_TRUE(reg.deleteValue("b"));
    EXPECT_FALSE(reg.valueExists("b"));
    EXPECT_FALSE(reg.deleteValue("b"));
    // A whole tree, relative to the open key.
    EXPECT_TRUE(reg.deleteKey("x"));
    EXPECT_FALSE(store->keyExists(Root::CurrentUser, "Software\\A\\x"));
    EXPECT_TRUE(store->keyExists(Root::CurrentUser, "Software\\A\\w"));
    EXPECT_FALSE(reg.deleteKey("x"));  // no longer there
    EXPECT_TRUE(reg.deleteKey("\\Software\\A"));
    EXPECT_FALSE(store->keyExists(Root::CurrentUser, "Software\\A"));
    EXPECT_TRUE(store->keyExists(Root::CurrentUser, "Software"));
}
