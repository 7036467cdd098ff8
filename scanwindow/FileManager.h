#pragma once

#include <string>

#include "mExe.h"

namespace ombrix {

// Opens a folder in the desktop's file manager, without waiting for it.
class FileManager {
public:
    virtual ~FileManager() = default;
    virtual void open(const std::string& folder) = 0;
};

class SystemFileManager final : public FileManager {
public:
    void open(const std::string& folder) override { mExe::OpenFileManager(folder); }
};

}  // namespace ombrix
