#pragma once

#include <functional>
#include <string>
#include <vector>

namespace ombrix {

// Everything the main window takes from outside itself. The program fills it
// from the platform; tests fill it with fakes, so both start-up roads run
// without a display.
struct MainEnvironment {
    // Folder of the executable, without a trailing separator.
    std::string programFolder;
    // The words after the program's name.
    std::vector<std::string> commandLineWords;

    std::function<bool()> anotherCopyRunning;
    // A text value below the per-user hive: key path, value name, default.
    std::function<std::string(const std::string&, const std::string&, const std::string&)> readSetting;

    // The drive list in mDisk's format, a root's type description, and the
    // root of the drive that holds a path.
    std::function<std::string()> driveRoots;
    std::function<std::string(const std::string&)> driveTypeText;
    std::function<std::string(const std::string&)> driveRootOf;
    // Full paths of a folder's subfolders, in the order the tree shows them.
    std::function<std::vector<std::string>(const std::string&)> listSubfolders;

    // Starts a program (file, parameters, show mode) without waiting for it.
    std::function<void(const std::string&, const std::string&, int)> launch;
};

}  // namespace ombrix
