#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "FileManager.h"
#include "MainEnvironment.h"
#include "MainFormView.h"
#include "MessageBox.h"
#include "TempTree.h"
#include "frmMain.h"
#include "mFileSearch.h"
#include "mRegistry.h"

namespace ombrix::test {

// Message boxes answered at once; each one notes whether the main window was
// on screen while it was up.
class RecordingMessages final : public MessageBox {
public:
    void show(const std::string& text) override
    {
        texts.push_back(text);
        mainVisible.push_back(main && main->visible());
    }
    std::vector<std::string> texts;
    std::vector<bool> mainVisible;
    const frmMain* main = nullptr;
};

class RecordingFileManager final : public FileManager {
public:
    void open(const std::string& folder) override { opened.push_back(folder); }
    std::vector<std::string> opened;
};

class RecordingMainView final : public MainFormView {
public:
    void setWindowVisible(bool visible) override { log.push_back(visible ? "shown" : "hidden"); }
    void showScanWindow() override { log.push_back("scan window shown"); }
    void setScanWindowCaption(const std::string& caption) override { log.push_back("caption " + caption); }
    std::vector<std::string> log;
};

// A machine of the test's making inside a fresh temporary folder: its drives
// are folders there, the program lies on the "usb" drive, and the settings
// store and the signature list are the test's own. Every scan a test starts
// stays inside that folder.
class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* settings = std::getenv("OMBRIX_SETTINGS");
        savedSettings_ = settings ? std::optional<std::string>(settings) : std::nullopt;
        ::setenv("OMBRIX_SETTINGS", tree.path("settings.db").c_str(), 1);
        tree.file("usb/ombrix/ombrix.ini", "Test.Bad\tbad.exe\r\n");
        mFileSearch::SetSignatureFile(tree.path("usb/ombrix/ombrix.ini"));
        drives = {
            {"hd/", "Hard drive; can not be removed"},
            {"cd/", "CD-ROM drive"},
            {"usb/", "Removable drive"},
            {"share/", "Remote (network) drive"},
            {"ram/", "RAM disk"},
            {"overlay/", "The drive type cannot be determined"},
        };
        for (const auto& drive : drives)
            tree.dir(drive.first);
    }

    void TearDown() override
    {
        if (savedSettings_)
            ::setenv("OMBRIX_SETTINGS", savedSettings_->c_str(), 1);
        else
            ::unsetenv("OMBRIX_SETTINGS");
    }

    // A path of the fake machine, or its root with an empty text.
    std::string at(const std::string& relative) const { return tree.root() + '/' + relative; }
    // A path without the fake machine's root, for readable expectations.
    std::string shown(const std::string& path) const
    {
        return path.starts_with(tree.root()) ? path.substr(tree.root().size()) : path;
    }

    // The main window before its start-up, with the recording view attached.
    frmMain& makeForm()
    {
        form = std::make_unique<frmMain>(environment(), messages, fileManager);
        messages.main = form.get();
        form->attachView(&view);
        return *form;
    }

    frmMain& load()
    {
        makeForm();
        road = form->Form_Load();
        return *form;
    }

    std::string stored(const std::string& keyPath, const std::string& name) const
    {
        return mRegistry::ReadRegString(mRegistry::HKEY_CURRENT_USER, keyPath, name, "(absent)");
    }

    TempTree tree;
    std::vector<std::string> words;
    bool anotherCopy = false;
    std::vector<std::pair<std::string, std::string>> drives;  // root below the tree -> type text
    std::map<std::pair<std::string, std::string>, std::string> settings;  // (key path, name) -> text
    std::map<std::string, std::vector<std::string>> subfolders;           // folder -> full paths

    std::vector<std::tuple<std::string, std::string, std::string>> settingReads;
    std::vector<std::string> listed;
    std::vector<std::tuple<std::string, std::string, int>> launches;
    RecordingMessages messages;
    RecordingFileManager fileManager;
    RecordingMainView view;
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
            settingReads.emplace_back(key, name, fallback);
            const auto found = settings.find({key, name});
            return found == settings.end() ? fallback : found->second;
        };
        env.driveRoots = [this] {
            std::string list;
            for (const auto& drive : drives)
                list += at(drive.first) + '\0';
            return drives.empty() ? list : list + '\0';
        };
        env.driveTypeText = [this](const std::string& root) {
            for (const auto& [each, text] : drives) {
                if (at(each) == root)
                    return text;
            }
            return std::string("The root directory does not exist");
        };
        // Never "/": a path outside every drive belongs to the machine's root.
        env.driveRootOf = [this](const std::string& path) {
            std::string best = at("");
            for (const auto& drive : drives) {
                if ((path + '/').starts_with(at(drive.first)) && at(drive.first).size() > best.size())
                    best = at(drive.first);
            }
            return best;
        };
        env.listSubfolders = [this](const std::string& folder) {
            listed.push_back(shown(folder));
            return subfolders[folder];
        };
        env.launch = [this](const std::string& file, const std::string& parameters, int showMode) {
            launches.emplace_back(file, parameters, showMode);
        };
        return env;
    }

    std::optional<std::string> savedSettings_;
};

}  // namespace ombrix::test
