#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace ombrix::test {

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "ombrix-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder()
    {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& relative) const { return path_ + '/' + relative; }

    std::string makeFolder(const std::string& relative) const
    {
        std::filesystem::create_directories(*this / relative);
        return *this / relative;
    }
    std::string writeFile(const std::string& relative, const std::string& content) const
    {
        std::filesystem::create_directories(std::filesystem::path(*this / relative).parent_path());
        std::ofstream(*this / relative, std::ios::binary) << content;
        return *this / relative;
    }

private:
    std::string path_;
};

}  // namespace ombrix::test
