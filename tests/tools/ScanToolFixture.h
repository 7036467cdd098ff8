#pragma once

#include <gtest/gtest.h>

#include "RunProgram.h"
#include "TempTree.h"
#include "TestStore.h"

namespace ombrix::test {

// ombrix-scan run on a tree of the test's own, with a list and a store of its own.
class OmbrixScanTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.file("list.ini", "' test list\r\nTrojan.A\tbad.exe\r\nLatin\tcaf\xe9.exe\r\n");
    }

    ProgramResult scan(std::vector<std::string> options, const std::string& folder = "scan")
    {
        std::vector<std::string> argv{OMBRIX_SCAN_TOOL, "--signatures", tree.path("list.ini")};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back(tree.path(folder));
        return runProgram(argv);
    }

    TempTree tree;
    TestStore store{tree};
};

}  // namespace ombrix::test
