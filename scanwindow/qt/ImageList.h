#pragma once

#include <QIcon>
#include <functional>
#include <map>
#include <string>

namespace ombrix {

// ImageList1: the finding list's 16 x 16 icons by key: "redbug" (file found),
// "greenbug" (file gone) and "yellowbug".
class ImageList {
public:
    ImageList();
    // A null icon for a key the list does not hold.
    QIcon icon(const std::string& key) const;

private:
    std::map<std::string, QIcon, std::less<>> icons_;
};

}  // namespace ombrix
