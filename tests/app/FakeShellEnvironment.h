#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "MainEnvironment.h"
#include "ScanWindowOps.h"
#include "frmMain.h"

namespace ombrix::test {

// A scan window that writes down what is done to it.
class RecordingScanWindow : public ScanWindowOps {
public:
    void setOptions(std::int16_t scanSubFolders, std::int16_t scanAll, std::int16_t autoRepair) override
    {
        log.push_back("options " + std::to_string(scanSubFolders) + ' ' + std::to_string(scanAll) + ' ' +
                      std::to_string(autoRepair));
    }
    void setCanceled(bool canceled) override { log.push_back(canceled ? "canceled" : "not canceled"); }
    void showOwned() override { log.push_back("show"); }
    void setCaption(const std::string& caption) override { log.push_back("caption " + caption); }
    void scanSystem(std::string& drive, bool nomsg) override
    {
        log.push_back("scan " + drive + (nomsg ? " nomsg" : ""));
        mainVisibleDuringScan = main && main->visible();
    }
    void unload() override { log.push_back("unload"); }

    std::vector<std::string> log;
    const frmMain* main = nullptr;
    bool mainVisibleDuringScan = false;
};

// A machine with drives, folders and settings of the test's choosing.
struct FakeShellEnvironment {
    std::string programFolder = "/media/usb/ombrix";
    std::vector<std::string> words;
    bool anotherCopy = false;
    std::map<std::pair<std::string, std::string>, std::string> settings;  // (key path, name) -> text
    std::vector<std::pair<std::string, std::string>> drives = {
        {"/", "Hard drive; can not be removed"},
        {"/media/cd/", "CD-ROM drive"},
        {"/media/usb/", "Removable drive"},
        {"/mnt/share/", "Remote (network) drive"},
        {"/mnt/ram/", "RAM disk"},
        {"/mnt/overlay/", "The drive type cannot be determined"},
    };
    std::map<std::string, std::vector<std::string>> folders;  // folder -> subfolders

    std::vector<std::tuple<std::string, std::string, std::string>> settingReads;
    std::vector<std::string> listed;
    std::vector<std::string> messages;
    std::vector<std::tuple<std::string, std::string, int>> launches;

    MainEnvironment make()
    {
        MainEnvironment env;
        env.programFolder = programFolder;
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
                list += drive.first + '\0';
            return drives.empty() ? list : list + '\0';
        };
        env.driveTypeText = [this](const std::string& root) {
            for (const auto& [each, text] : drives) {
                if (each == root)
                    return text;
            }
            return std::string("The root directory does not exist");
        };
        env.driveRootOf = [this](const std::string& path) {
            std::string best = "/";
            for (const auto& drive : drives) {
                if ((path + '/').starts_with(drive.first) && drive.first.size() > best.size())
                    best = drive.first;
            }
            return best;
        };
        env.listSubfolders = [this](const std::string& folder) {
            listed.push_back(folder);
            return folders[folder];
        };
        env.messageBox = [this](const std::string& text) { messages.push_back(text); };
        env.launch = [this](const std::string& file, const std::string& parameters, int showMode) {
            launches.emplace_back(file, parameters, showMode);
        };
        return env;
    }
};

}  // namespace ombrix::test
