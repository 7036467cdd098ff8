#include "ImageList.h"

#include "Artwork.h"

namespace ombrix {

ImageList::ImageList()
    : icons_{{"greenbug", QIcon(Artwork::bug(QColor(40, 160, 50)))},
             {"yellowbug", QIcon(Artwork::bug(QColor(230, 190, 20)))},
             {"redbug", QIcon(Artwork::bug(QColor(210, 35, 35)))}}
{
}

QIcon ImageList::icon(const std::string& key) const
{
    const auto found = icons_.find(key);
    return found == icons_.end() ? QIcon() : found->second;
}

}  // namespace ombrix
