#pragma once
// A prefix in a temporary folder opened the way the program opens one
// (Computer::open: the store, the file system, the system folders, the
// launch probe, the recycle bin and the ignore lists, wired into one scan
// context), with a pacer that records every pause. Scans and repairs run
// their actions as the model's scan frame does.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "computer/Computer.h"
#include "platform/FileSystem.h"
#include "support/Recorders.h"
#include "support/TempPrefix.h"

namespace kestrane::test {

class PrefixTest : public ::testing::Test {
protected:
    // A new prefix with these hive bodies (see TempPrefix), opened.
    void open(const std::string& systemReg, const std::string& userReg) {
        prefix = std::make_unique<TempPrefix>(systemReg, userReg);
        reload();
    }
    // Opens the prefix again from its files, as a new start of the program.
    void reload() {
        ctx = nullptr;
        computer.reset();
        auto opened = Computer::open(prefix->path(), pacer);
        ASSERT_TRUE(opened.ok()) << opened.error().message;
        computer = std::move(opened.value());
        store = &computer->store();
        files = &computer->files();
        ignores = &computer->ignores();
        ctx = &computer->context();
        pacer.ctx = ctx;
    }
    // Runs a scan action on a fresh list with the given columns.
    ResultList scan(const CategoryAction& action, std::vector<Column> columns = {}) {
        ResultList list("list", std::move(columns));
        files::FileAction a(*files);
        action(*ctx, list);
        return list;
    }
    // Runs a repair action and saves the registry.
    void repair(const CategoryAction& action, ResultList& list) {
        {
            files::FileAction a(*files);
            action(*ctx, list);
        }
        auto saved = store->save();
        ASSERT_TRUE(saved.ok()) << saved.error().message;
    }
    static std::vector<std::string> captions(const ResultList& list) {
        std::vector<std::string> out;
        for (const auto& r : list.rows())
            out.push_back(r.caption);
        return out;
    }
    bool has(reg::Root root, const std::string& key, const std::string& value) {
        auto k = store->openKey(root, key);
        return k.ok() && store->queryValue(*k, value).has_value();
    }

    std::unique_ptr<TempPrefix> prefix;
    RecordingPacer pacer;
    std::unique_ptr<Computer> computer;
    reg::RegistryStore* store = nullptr;
    files::PrefixFileSystem* files = nullptr;
    IgnoreLists* ignores = nullptr;
    ScanContext* ctx = nullptr;
};

}  // namespace kestrane::test
