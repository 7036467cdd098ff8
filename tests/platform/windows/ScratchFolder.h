#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

namespace ombrix::test {

// A fresh folder below the user's temporary folder, removed with everything
// in it when the object goes. Paths are ANSI text, as the platform layer takes them.
class ScratchFolder {
public:
    ScratchFolder()
    {
        char base[MAX_PATH + 1];
        GetTempPathA(sizeof base, base);
        for (unsigned serial = 0;; ++serial) {
            root_ = std::string(base) + "ombrix-test-" + std::to_string(GetCurrentProcessId()) + '-' +
                    std::to_string(GetTickCount64()) + '-' + std::to_string(serial);
            if (CreateDirectoryA(root_.c_str(), nullptr))
                break;
        }
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& root() const { return root_; }
    std::string path(const std::string& relative) const { return root_ + '\\' + relative; }
    // Each folder along `relative` is made with the ANSI call, so names are
    // code-page bytes as the platform layer sees them.
    void dir(const std::string& relative) const
    {
        for (std::size_t end = relative.find('\\'); ; end = relative.find('\\', end + 1)) {
            CreateDirectoryA(path(relative.substr(0, end)).c_str(), nullptr);
            if (end == std::string::npos)
                return;
        }
    }

private:
    std::string root_;
};

}  // namespace ombrix::test
