#pragma once

#include <functional>
#include <string>
#include <vector>

#include "TempTree.h"
#include "TestStore.h"
#include "frmScan.h"
#include "mFileSearch.h"
#include "mRegistry.h"

namespace ombrix::test {

// Everything the scan window does to the world outside it, in the order done.
using Log = std::vector<std::string>;

// The main window, message boxes, file manager and a widgetless view, all recording into one log.
class World final : public MainWindowLink, public MessageBox, public FileManager, public ScanFormView {
public:
    void showMainWindow() override
    {
        log.push_back("show main");
        if (onShow)
            onShow();
    }
    bool closedForGood() const override { return mainClosed; }
    std::string regpath() const override { return key; }
    void show(const std::string& text) override { log.push_back("message " + text); }
    void open(const std::string& folder) override { log.push_back("open " + folder); }
    void stateChanged() override {}
    void processEvents() override
    {
        if (onYield)
            onYield();
    }
    void hideWindow() override { log.push_back("hide"); }
    void setScanRunning(bool running) override { log.push_back(running ? "running" : "ended"); }

    Log log;
    std::string key;  // where scans record their results
    bool mainClosed = false;
    std::function<void()> onShow;
    std::function<void()> onYield;
};

// A temporary tree holding the scan folder and the signature list, a settings
// store of its own, and a frmScan wired to a recording world (which is also its view
// until a real one attaches).
class FormFixture {
public:
    FormFixture()
    {
        world.key = store.key();
        tree.file("ombrix.ini", "Trojan.A\tbad.exe\r\nWorm.B\tworm.dll\r\n");
        mFileSearch::SetSignatureFile(tree.path("ombrix.ini"));
        form.ScanSubFolders = 1;
        form.attachView(&world);
    }

    void scan(bool nomsg = false)
    {
        std::string drive = tree.path("scan");
        form.ScanSystem(drive, nomsg);
    }

    // Two findings, "Trojan.A" in scan/a and "Worm.B" in "scan/b b", found in
    // the file system's order and left in place; the window stays open.
    void scanTwoFindings()
    {
        tree.file("scan/a/bad.exe");
        tree.file("scan/b b/worm.dll");
        scan();
        world.log.clear();
    }

    const std::string& text(ScanLabel label) const { return form.labelText(label); }
    const Finding& row(std::size_t number) const { return form.findings().at(number - 1); }
    std::string storedResult(const char* name) const
    {
        return mRegistry::ReadRegString(mRegistry::HKEY_CURRENT_USER, store.key(), name, "");
    }

    TempTree tree;
    TestStore store{tree};
    World world;
    frmScan form{world, world, world};
};

}  // namespace ombrix::test
