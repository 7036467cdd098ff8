#pragma once

#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingWindow.h"
#include "TempTree.h"
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
        mFileSearch::SearchFolder(window, tree.path(relative) + "/", true);
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

}  // namespace ombrix::test
