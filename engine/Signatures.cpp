#include <string>

#include "AsciiFold.h"
#include "LargePageAllocator.h"
#include "ListVersion.h"
#include "NameIndex.h"
#include "SignatureLines.h"
#include "Text.h"
#include "mFileSearch.h"

namespace ombrix::mFileSearch {

namespace {

constexpr std::uint32_t kNone = NameIndex::npos;

// Where an entry's two texts lie in the list's text arena.
struct Entry {
    std::uint32_t nameAt, nameSize;
    std::uint32_t fileAt, fileSize;
    std::uint32_t nextVariant;  // next entry whose file name differs only in letter case
};

// The list keeps all its text in one arena and indexes each family of file names
// that differ only in letter case once, by the family's first entry: that entry
// is the one every match reports, and the family's chain finds exact names when
// lines are joined. Small and compact, so a long list loads fast and its index
// stays in cache while the walk tests every file.
struct SignatureList {
    std::basic_string<char, std::char_traits<char>, LargePageAllocator<char>> arena;
    std::vector<Entry, LargePageAllocator<Entry>> entries;
    NameIndex families;
    std::optional<std::uint64_t> version;

    std::string_view text(std::uint32_t at, std::uint32_t size) const { return {arena.data() + at, size}; }
    std::string_view name(std::uint32_t e) const { return text(entries[e].nameAt, entries[e].nameSize); }
    std::string_view fileName(std::uint32_t e) const { return text(entries[e].fileAt, entries[e].fileSize); }

    std::uint32_t store(std::string_view part)
    {
        const auto at = std::uint32_t(arena.size());
        arena.append(part);
        return at;
    }
};

// Lives until the process ends; not destroyed at exit, where freeing a long
// list would only delay the end of a scan.
SignatureList& list()
{
    static SignatureList& instance = *new SignatureList;
    return instance;
}

bool equalsFolded(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i]))
            return false;
    return true;
}

std::uint32_t familyOf(const SignatureList& l, std::string_view fileName)
{
    return l.families.find(NameIndex::foldedHash(fileName),
                           [&](std::uint32_t e) { return equalsFolded(l.fileName(e), fileName); });
}

void addEntry(std::string_view name, std::string_view fileName)
{
    SignatureList& l = list();
    const std::uint32_t head = familyOf(l, fileName);
    std::uint32_t last = kNone;
    for (std::uint32_t e = head; e != kNone; e = l.entries[e].nextVariant) {
        if (l.fileName(e) == fileName) {
            // Joined names are rare: the longer text goes to the arena's end.
            const std::string joined = std::string(l.name(e)) + ", " + std::string(name);
            l.entries[e].nameAt = l.store(joined);
            l.entries[e].nameSize = std::uint32_t(joined.size());
            return;
        }
        last = e;
    }
    const auto next = std::uint32_t(l.entries.size());
    const std::uint32_t nameAt = l.store(name);
    const std::uint32_t fileAt = l.store(fileName);
    l.entries.push_back({nameAt, std::uint32_t(name.size()), fileAt, std::uint32_t(fileName.size()), kNone});
    if (last != kNone)
        l.entries[last].nextVariant = next;
    else
        l.families.insert(NameIndex::foldedHash(fileName), next, [](std::uint32_t) { return false; });
}

void addLine(std::string_view line)
{
    line = trimSpaces(line);
    if (!line.empty() && line.front() == '\'' && !list().version)
        list().version = update::ListVersion(line);
    if (line.empty() || line.front() == '\'')
        return;
    const auto tab = line.find('\t');
    const std::string_view name = line.substr(0, tab);
    std::string_view fileName;
    if (tab != std::string_view::npos) {
        const std::string_view rest = line.substr(tab + 1);
        fileName = rest.substr(0, rest.find('\t'));
    }
    addEntry(trimSpaces(name), trimSpaces(fileName));
}

}  // namespace

void ClearSignatures(std::size_t expectedBytes)
{
    SignatureList& l = list();
    l.arena.clear();
    l.entries.clear();
    l.families.clear();
    l.version.reset();
    // Lines run about 32 bytes; sizing for that spares most regrowth.
    l.arena.reserve(expectedBytes);
    l.entries.reserve(expectedBytes / 32 + 1);
    l.families.reserve(expectedBytes / 32 + 1);
}

void SignatureLines::feed(std::string_view data)
{
    if (afterCr_ && !data.empty() && data.front() == '\n')
        data.remove_prefix(1);
    afterCr_ = false;
    for (auto cr = data.find('\r'); cr != std::string_view::npos; cr = data.find('\r')) {
        if (partial_.empty()) {
            addLine(data.substr(0, cr));
        } else {
            partial_.append(data.substr(0, cr));
            addLine(partial_);
            partial_.clear();
        }
        data.remove_prefix(cr + 1);
        if (data.empty())
            afterCr_ = true;
        else if (data.front() == '\n')
            data.remove_prefix(1);
    }
    partial_.append(data);
}

void SignatureLines::finish()
{
    if (!partial_.empty())
        addLine(partial_);
    partial_.clear();
    afterCr_ = false;
}

void AddSignature(const std::string& name, const std::string& fileName)
{
    addEntry(name, fileName);
}

std::optional<std::uint64_t> SignatureListVersion()
{
    return list().version;
}

std::size_t SignatureCount()
{
    return list().entries.size();
}

Signature SignatureAt(std::size_t index)
{
    const SignatureList& l = list();
    return {l.name(std::uint32_t(index)), l.fileName(std::uint32_t(index))};
}

std::optional<Signature> FindSignature(std::string_view name)
{
    const SignatureList& l = list();
    if (name.empty())
        return std::nullopt;
    const std::uint32_t head = familyOf(l, name);
    // Folding leaves "%" alone, so a family starting with it never matches.
    if (head == kNone || l.fileName(head).front() == '%')
        return std::nullopt;
    return SignatureAt(head);
}

}  // namespace ombrix::mFileSearch
