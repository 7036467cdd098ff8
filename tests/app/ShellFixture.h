#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "TempTree.h"
#include "frmMain.h"
#include "mFileSearch.h"

namespace ombrix::test {

// What the user sees of the main window and what it asks of the machine, in
// one log: messages (answered at once), the view, folders opened and listed,
// programs started.
class Recorder final : public MessageBox, public MainFormView, public FileManager {
public:
    void show(const std::string& text) override { log.push_back("message " + text); }
    void setWindowVisible(bool visible) override { log.push_back(visible ? "shown" : "hidden"); }
    void showScanWindow() override { log.push_back("scan window shown"); }
    void setScanWindowCaption(const std::string& caption) override { log.push_back("caption " + caption); }
    ViewLayout::Box frameBox() const override { return {}; }
    void open(const std::string& folder) override { log.push_back("open " + folder); }
    std::vector<std::string> log;
};

// A machine of the test's making inside a fresh temporary folder: its drives
// are folders there, the program lies on the "usb" drive, and the settings
// store and the signature list are the test's own, so every scan stays inside.
class ShellFixture : public ::testing::Test {
protected:
    // The settings variable is not put back: ctest runs every test in a
    // process of its own, and no other test here reads settings.
    void SetUp() override
    {
        ::setenv("OMBRIX_SETTINGS", tree.path("settings.db").c_str(), 1);
        tree.file("usb/ombrix/ombrix.ini", "Test.Bad\tbad.exe\r\n");
        mFileSearch::SetSignatureFile(tree.path("usb/ombrix/ombrix.ini"));
        for (const auto& drive : drives)
            tree.dir(drive.first);
    }

    std::string at(const std::string& relative) const { return tree.root() + '/' + relative; }
    // A path without the fake machine's root, for readable expectations.
    std::string shown(const std::string& path) const
    {
        return path.starts_with(tree.root()) ? path.substr(tree.root().size()) : path;
    }

    // The main window before its start-up, with the recording view attached.
    frmMain& makeForm()
    {
        form = std::make_unique<frmMain>(environment(), user, user);
        form->attachView(&user);
        return *form;
    }

    frmMain& load()
    {
        makeForm();
        road = form->Form_Load();
        return *form;
    }

    void choose(const std::string& key)
    {
        form->TreeView1.select(key);
        form->TreeView1_Click();
    }

    TempTree tree;
    std::vector<std::string> words;
    bool anotherCopy = false;
    // Drive root below the tree -> type text, listed in this (bytewise) order.
    std::map<std::string, std::string> drives = {
        {"cd/", "CD-ROM drive"},   {"hd/", "Hard drive; can not be removed"},
        {"overlay/", "The drive type cannot be determined"}, {"ram/", "RAM disk"},
        {"share/", "Remote (network) drive"}, {"usb/", "Removable drive"},
    };
    std::map<std::pair<std::string, std::string>, std::string> settings;  // (key path, name) -> text
    std::map<std::string, std::vector<std::string>> subfolders;           // folder -> full paths

    int settingReads = 0;
    Recorder user;
    std::unique_ptr<frmMain> form;
    frmMain::Road road = frmMain::Road::AnotherCopy;

private:
    MainEnvironment environment()
    {
        MainEnvironment env;
        env.programFolder = at("usb/ombrix");
        env.commandLineWords = words;
        env.anotherCopyRunning = [this] { return anotherCopy; };
        env.readSetting = [this](const std::string& key, const std::string& name, const std::string& fallback) {
            ++settingReads;
            const auto found = settings.find({key, name});
            // The trees lie on this machine's own disk, where no quarantine folder may be made.
            if (found == settings.end() && name == "Quarantine")
                return std::string("0");
            return found == settings.end() ? fallback : found->second;
        };
        env.driveRoots = [this] {
            std::string list;
            for (const auto& drive : drives)
                list += at(drive.first) + '\0';
            return drives.empty() ? list : list + '\0';
        };
        env.driveTypeText = [this](const std::string& root) { return drives.at(root.substr(at("").size())); };
        // Never "/": a path outside every drive belongs to the machine's root.
        env.driveRootOf = [this](const std::string& path) { return path == at("usb/ombrix") ? at("usb/") : at(""); };
        env.listSubfolders = [this](const std::string& folder) {
            user.log.push_back("list " + shown(folder));
            return subfolders[folder];
        };
        env.launch = [this](const std::string& file, const std::string& parameters, int showMode) {
            user.log.push_back("launch " + shown(file) + " '" + parameters + "' " + std::to_string(showMode));
        };
        return env;
    }
};

}  // namespace ombrix::test
