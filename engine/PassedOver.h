#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ombrix {

// What a walk met but did not scan, counted by reason, with the first paths of
// each reason kept so that a report names them without growing with the disk.
class PassedOver {
public:
    enum class Reason {
        CouldNotList,     // a folder that could not be opened or listed (with the error)
        OtherFilesystem,  // a mount point below the start folder
        Link,             // a symbolic link to a folder, never followed
        ReparsePoint,     // a junction, folder link or mount point on Windows
        TooDeep,          // a path longer than the system can name
        Vanished,         // gone, or no longer a folder, between listing and opening
        SubfoldersOff,    // a folder not entered because subfolders are off
    };
    static constexpr std::size_t kReasons = 7;
    // Paths kept per reason; the counts go on beyond them.
    static constexpr std::size_t kPathsKept = 100;

    struct Entry {
        std::string path;
        int error = 0;  // the system's error code, 0 where the reason needs none
    };
    struct ErrorCount {
        int error = 0;
        double count = 0;
    };

    void clear();
    void add(Reason reason, std::string_view path, int error = 0);

    double count(Reason reason) const { return counts_[index(reason)]; }
    double total() const;
    const std::vector<Entry>& paths(Reason reason) const { return paths_[index(reason)]; }
    // Folders that could not be listed, by error, in the order the errors first came.
    const std::vector<ErrorCount>& listErrors() const { return listErrors_; }

private:
    static std::size_t index(Reason reason) { return std::size_t(reason); }

    std::array<double, kReasons> counts_{};
    std::array<std::vector<Entry>, kReasons> paths_;
    std::vector<ErrorCount> listErrors_;
};

inline constexpr std::array<PassedOver::Reason, PassedOver::kReasons> kPassReasons = {
    PassedOver::Reason::CouldNotList, PassedOver::Reason::OtherFilesystem, PassedOver::Reason::Link,
    PassedOver::Reason::ReparsePoint, PassedOver::Reason::TooDeep,         PassedOver::Reason::Vanished,
    PassedOver::Reason::SubfoldersOff,
};

// One line that says what was passed over, "Passed over: 2 folders could not be
// listed (EACCES 2), 1 on another filesystem"; empty when nothing was.
std::string PassedOverLine(const PassedOver& passed);

// The reason's name in machine-readable reports: "could_not_list", "link", ...
std::string_view ReasonName(PassedOver::Reason reason);
// The reason as the summary line words it, for `count` folders.
std::string ReasonWords(PassedOver::Reason reason, double count);

// What an error in opening a folder says of it: gone, too deep, a link, or
// simply not listable. Platform-specific.
PassedOver::Reason ReasonOfOpenError(int error);
// The error's symbolic name (EACCES; on Windows the number of the code).
std::string ErrorName(int error);

}  // namespace ombrix
