#include "frmMain.h"

#include <utility>

#include "CommandLine.h"
#include "OwnerBox.h"
#include "Paths.h"
#include "mFileSearch.h"
#include "mDisk.h"

namespace ombrix {

namespace {

constexpr const char* kRootTag = "MyComputer";

}  // namespace

std::string DrivePictureKey(const std::string& driveTypeText)
{
    if (driveTypeText == "Removable drive")
        return "floppy";
    if (driveTypeText == "Hard drive; can not be removed")
        return "harddrive";
    if (driveTypeText == "CD-ROM drive")
        return "cdrom";
    if (driveTypeText == "Remote (network) drive")
        return "networkdrive";
    return "unknown";
}

frmMain::frmMain(MainEnvironment environment, MessageBox& messages, FileManager& fileManager)
    : environment_(std::move(environment)), scanWindow_(link_, messages, fileManager), messages_(messages)
{
}

frmMain::Road frmMain::Form_Load()
{
    if (environment_.anotherCopyRunning())
        return Road::AnotherCopy;

    const std::string commandLine = CommandLine::Text(environment_.commandLineWords);
    regpath = CommandLine::Regpath(commandLine);

    const std::string autoRepair = environment_.readSetting(regpath, "AutoRepair", "1");
    const std::string scanSubFolders = environment_.readSetting(regpath, "Scan SubFolders", "1");
    const std::string scanAll = environment_.readSetting(regpath, "Scan All", "1");
    // Unlike the options, no window shows it: only a stored 0 makes removals final.
    mFileSearch::SetQuarantine(OptionValue(environment_.readSetting(regpath, "Quarantine", "1")) != 0);

    if (CommandLine::IsScanNow(commandLine)) {
        mFileSearch::SetProgramName("ombrix /scannow");
        close();
        scanWindow_.ScanSubFolders = OptionValue(scanSubFolders);
        scanWindow_.ScanAll = OptionValue(scanAll);
        scanWindow_.AutoRepair = OptionValue(autoRepair);
        // Cleared after the close above, which cancels any scan.
        scanWindow_.canceled = false;
        // A drive that cannot be told would read as "/", the whole system.
        std::string drive = programDriveRoot();
        if (!drive.empty())
            scanWindow_.ScanSystem(drive, true);
        return Road::CommandLine;
    }

    Check1 = OptionValue(scanSubFolders);
    Check2 = OptionValue(scanAll);
    Check3 = OptionValue(autoRepair);
    Label7 = "Scanned:  " + environment_.readSetting(regpath, "Ombrix Last Check", "?");
    Label8 = "Files Scanned:  " + environment_.readSetting(regpath, "Ombrix FileCount", "?");
    Label9 = "Files Infected:  " + environment_.readSetting(regpath, "Ombrix Found", "?");
    fillTree();
    scanloc = programDriveRoot();
    Label11 = scanloc;
    show();
    return Road::Interactive;
}

void frmMain::Form_Unload()
{
    scanWindow_.canceled = true;
    scanWindow_.Form_Unload();
}

void frmMain::fillTree()
{
    TreeView1.clear();
    TreeEntry* root = TreeView1.add({}, "mycomputer", "My Computer", "mycomputer");
    root->expanded = true;
    root->tag = kRootTag;

    const std::string programRoot = programDriveRoot();
    std::string list = environment_.driveRoots();
    // A list that holds no root (the drives could not be listed) gives no entries.
    for (int n = 0; list.find('\0') != std::string::npos && list != std::string(1, '\0'); ++n) {
        const std::string driveRoot = mDisk::NextDriveRoot(list);
        const std::string key = "drive." + std::to_string(n);
        TreeEntry* drive = TreeView1.add("mycomputer", key, driveRoot,
                                         DrivePictureKey(environment_.driveTypeText(driveRoot)));
        drive->tag = driveRoot;
        if (drive->tag == programRoot)
            TreeView1.select(key);
    }
}

void frmMain::TreeView1_Click()
{
    const TreeEntry* entry = TreeView1.selected();
    if (!entry)
        return;
    scanloc = entry->tag;
    Label11 = scanloc;
}

void frmMain::TreeView1_DblClick()
{
    TreeEntry* entry = TreeView1.selected();
    if (!entry || entry->tag == kRootTag)
        return;
    scanloc = entry->tag;
    Label11 = scanloc;

    const std::vector<std::string> subfolders = environment_.listSubfolders(entry->tag);
    for (std::size_t i = 0; i < subfolders.size(); ++i) {
        // Keys are fixed by position, so a second load of the same entry stops
        // at its first addition: subfolders are loaded once.
        TreeEntry* folder = TreeView1.add(entry->key, entry->key + '.' + std::to_string(i),
                                          LastPathPart(subfolders[i]), "closedfolder", "openfolder");
        if (!folder)
            return;
        folder->tag = subfolders[i];
        entry->expanded = true;
    }
}

void frmMain::Label6_Click()
{
    // The main window can be back while a scan whose window was closed winds
    // down; a second scan must not start inside the first one's yield.
    if (scanWindow_.scanRunning())
        return;
    if (scanloc == kRootTag) {
        messages_.show("Please select a drive to scan");
        return;
    }
    if (view_)
        view_->showScanWindow();
    scanWindow_.ScanSubFolders = Check1;
    scanWindow_.ScanAll = Check2;
    scanWindow_.AutoRepair = Check3;
    scanWindow_.canceled = false;
    if (view_)
        view_->setScanWindowCaption("Varno Ombrix - Scanning:  " + scanloc);
    hide();
    scanWindow_.ScanSystem(scanloc, false);
}

void frmMain::Image3_Click()
{
    Label6_Click();
}

void frmMain::Label12_Click()
{
    // The updater opens its window over this one.
    if (view_)
        OwnerBox::Pass(view_->frameBox());
    environment_.launch(environment_.programFolder + kPathSeparator + "update" OMBRIX_EXECUTABLE_SUFFIX, "", 0);
}

void frmMain::Image6_Click()
{
    Label12_Click();
}

void frmMain::show()
{
    // A window that has closed for good does not come back.
    if (!closedForGood_)
        setVisible(true);
}

void frmMain::hide()
{
    setVisible(false);
}

void frmMain::close()
{
    closedForGood_ = true;
    Form_Unload();
    setVisible(false);
}

void frmMain::attachView(MainFormView* view)
{
    view_ = view;
}

void frmMain::setVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    if (view_)
        view_->setWindowVisible(visible);
}

std::string frmMain::programDriveRoot() const
{
    return environment_.driveRootOf(environment_.programFolder);
}

}  // namespace ombrix
