#pragma once

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "FileManager.h"
#include "MainWindowLink.h"
#include "MessageBox.h"
#include "ScanFormView.h"
#include "TempTree.h"
#include "frmScan.h"
#include "mFileSearch.h"
#include "mRegistry.h"

namespace ombrix::test {

// Everything the scan window does to the world outside it, in the order done.
using Log = std::vector<std::string>;

class FakeMainWindow final : public MainWindowLink {
public:
    explicit FakeMainWindow(Log& log) : log_(log) {}
    void showMainWindow() override
    {
        log_.push_back("show main");
        if (onShow)
            onShow();
    }
    bool closedForGood() const override { return closed; }
    std::string regpath() const override { return "Software\\ScanWindowTest"; }
    bool closed = false;
    std::function<void()> onShow;

private:
    Log& log_;
};

class FakeMessageBox final : public MessageBox {
public:
    explicit FakeMessageBox(Log& log) : log_(log) {}
    void show(const std::string& text) override { log_.push_back("message " + text); }

private:
    Log& log_;
};

class FakeFileManager final : public FileManager {
public:
    explicit FakeFileManager(Log& log) : log_(log) {}
    void open(const std::string& folder) override { log_.push_back("open " + folder); }

private:
    Log& log_;
};

class FakeView final : public ScanFormView {
public:
    explicit FakeView(Log& log) : log_(log) {}
    void stateChanged() override {}
    void processEvents() override
    {
        if (onYield)
            onYield();
    }
    void hideWindow() override { log_.push_back("hide"); }
    void setScanRunning(bool running) override { log_.push_back(running ? "running" : "ended"); }
    std::function<void()> onYield;

private:
    Log& log_;
};

// A temporary tree holding the scan folder, the signature list and the settings
// store, with a frmScan wired to recording fakes.
class FormFixture {
public:
    FormFixture()
    {
        ::setenv("OMBRIX_SETTINGS", tree.path("store.db").c_str(), 1);
        tree.file("ombrix.ini", "Trojan.A\tbad.exe\r\nWorm.B\tworm.dll\r\n");
        mFileSearch::SetSignatureFile(tree.path("ombrix.ini"));
        form.ScanSubFolders = 1;
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
        log.clear();
    }

    const std::string& text(ScanLabel label) const { return form.labelText(label); }
    const Finding& row(std::size_t number) const { return form.findings().at(number - 1); }
    std::string storedResult(const char* name) const
    {
        return mRegistry::ReadRegString(mRegistry::HKEY_CURRENT_USER, "Software\\ScanWindowTest", name, "");
    }

    TempTree tree;
    Log log;
    FakeMainWindow mainWindow{log};
    FakeMessageBox messages{log};
    FakeFileManager fileManager{log};
    frmScan form{mainWindow, messages, fileManager};
};

}  // namespace ombrix::test
