#pragma once

#include <cstdint>
#include <string>

#include "DriveTree.h"
#include "FileManager.h"
#include "MainEnvironment.h"
#include "MainFormView.h"
#include "MainWindowLink.h"
#include "MessageBox.h"
#include "OptionValue.h"
#include "frmScan.h"

namespace ombrix {

// The main window's state and event handlers, and the owner of the scan
// window's state. A view (MainFormView) mirrors the control values below and
// forwards the user's actions through MainViewEvents; without a view (the
// command-line road, tests) the object works on its own.
class frmMain {
public:
    enum class Road { AnotherCopy, CommandLine, Interactive };

    // `messages` and `fileManager` serve both windows and must outlive this object.
    frmMain(MainEnvironment environment, MessageBox& messages, FileManager& fileManager);
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // The location the next scan covers: a drive root, a folder's full path,
    // or "MyComputer" for the tree's root entry.
    std::string scanloc;
    // Key path below the per-user hive of every settings value; empty by default.
    std::string regpath;

    // Check-box values (0 cleared, 1 ticked, 2 third state).
    std::int16_t Check1 = 0;
    std::int16_t Check2 = 0;
    std::int16_t Check3 = 0;
    // Texts of the labels that change.
    std::string Label7 = "Scan Date:";
    std::string Label8 = "Files Scanned:";
    std::string Label9 = "Files Infected:";
    std::string Label11;
    DriveTree TreeView1;

    // Start-up. On the command-line road the whole scan runs inside this call.
    Road Form_Load();
    void Form_Unload();

    void TreeView1_Click();
    void TreeView1_DblClick();

    void Label6_Click();
    void Image3_Click();
    void Label12_Click();
    void Image6_Click();

    frmScan& scanWindow() { return scanWindow_; }

    bool visible() const { return visible_; }
    void show();
    void hide();
    // Unloads the window for good: the unload handler runs and the window goes away.
    void close();
    void attachView(MainFormView* view);

private:
    // What the scan window sees of this window.
    class ScanWindowLink final : public MainWindowLink {
    public:
        explicit ScanWindowLink(frmMain& form) : form_(form) {}
        void showMainWindow() override { form_.show(); }
        bool closedForGood() const override { return form_.closedForGood_; }
        std::string regpath() const override { return form_.regpath; }

    private:
        frmMain& form_;
    };

    void setVisible(bool visible);
    void fillTree();
    std::string programDriveRoot() const;

    MainEnvironment environment_;
    ScanWindowLink link_{*this};
    frmScan scanWindow_;
    MessageBox& messages_;
    MainFormView* view_ = nullptr;
    bool visible_ = false;
    bool closedForGood_ = false;
};

// The picture key of a drive entry for its drive type description.
std::string DrivePictureKey(const std::string& driveTypeText);

}  // namespace ombrix
