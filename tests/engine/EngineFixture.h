#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "Paths.h"
#include "RecordingWindow.h"
#include "ScanSystem.h"
#include "TempTree.h"
#include "TestStore.h"
#include "mFileSearch.h"

namespace ombrix::test {

// A temporary tree with its own signature list and a recording window.
class EngineFixture : public ::testing::Test {
protected:
    void signatures(std::string_view content)
    {
        const std::string file = tree.path("sig/ombrix.ini");
        tree.dir("sig");
        writeFile(file, content);
        mFileSearch::SetSignatureFile(file);
        mFileSearch::LoadSignatures();
    }

    // Walks `relative` below the tree (the root itself when empty).
    void walk(std::string_view relative = "scan")
    {
        mFileSearch::SearchFolder(window, tree.path(relative) + kPathSeparator, true);
    }

    std::vector<std::string> foundPaths() const
    {
        std::vector<std::string> paths;
        for (const auto& row : window.rows)
            paths.push_back(row.fullPath);
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    TempTree tree;
    RecordingWindow window;
};

class WalkTest : public EngineFixture {
protected:
    void SetUp() override { signatures("Trojan.A\tbad.exe\r\nWorm.B\tworm.dll\r\n"); }
};

// Scans that record their values in a store of the test's own.
class ScanSystemTest : public EngineFixture {
protected:
    void SetUp() override
    {
        signatures("' list\r\nTrojan.A\tbad.exe\r\nWorm.B\tworm.dll\r\nTrojan.A2\tBAD.EXE\r\n");
        window.key = store.key();
    }

    ScanSummary scan(std::string drive)
    {
        scanned = std::move(drive);
        return ScanSystem(window, scanned, false);
    }

    std::string stored(const char* name) const { return store.read(name); }

    void threeFindings()
    {
        tree.file("scan/bad.exe");
        tree.file("scan/sub/worm.dll");
        tree.file("scan/sub/deeper/Bad.Exe");
        tree.file("scan/clean.txt");
    }

    TestStore store{tree};
    std::string scanned;
};

}  // namespace ombrix::test
