#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "AsciiFold.h"
#include "NameIndex.h"
#include "Paths.h"
#include "Text.h"
#include "mFileSearch.h"

namespace ombrix::mFileSearch {

namespace {

struct SignatureList {
    std::vector<Signature> entries;
    NameIndex byFileName;    // exact file name -> entry, for joining repeated names
    NameIndex byFoldedName;  // folded file name -> first entry that can match
    std::string file;
    bool fileChosen = false;
};

// Lives until the process ends; not destroyed at exit, where freeing a long
// list entry by entry would only delay the end of a scan.
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

void addEntry(std::string_view name, std::string_view fileName)
{
    SignatureList& l = list();
    const auto next = std::uint32_t(l.entries.size());
    const std::uint32_t held = l.byFileName.insert(NameIndex::hash(fileName), next, [&](std::uint32_t e) {
        return l.entries[e].FileName == fileName;
    });
    if (held != next) {
        l.entries[held].VirusName.append(", ").append(name);
        return;
    }
    l.entries.push_back({std::string(name), std::string(fileName)});
    if (fileName.empty() || fileName.front() == '%')
        return;
    l.byFoldedName.insert(NameIndex::foldedHash(fileName), next,
                          [&](std::uint32_t e) { return equalsFolded(l.entries[e].FileName, fileName); });
}

void addLine(std::string_view line)
{
    line = trimSpaces(line);
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

// Splits the file into lines as it is read: a CR ends a line and swallows one LF
// right behind it; a lone LF is part of the line. Only the line being read is
// held, so a long list costs no copy of itself. A read error ends loading with
// the lines completed before it.
void readLines(int fd)
{
    char chunk[1 << 16];
    std::string partial;
    bool afterCr = false;
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return;
        if (n == 0)
            break;
        std::string_view data(chunk, std::size_t(n));
        if (afterCr && data.front() == '\n')
            data.remove_prefix(1);
        afterCr = false;
        for (auto cr = data.find('\r'); cr != std::string_view::npos; cr = data.find('\r')) {
            if (partial.empty()) {
                addLine(data.substr(0, cr));
            } else {
                partial.append(data.substr(0, cr));
                addLine(partial);
                partial.clear();
            }
            data.remove_prefix(cr + 1);
            if (data.empty())
                afterCr = true;
            else if (data.front() == '\n')
                data.remove_prefix(1);
        }
        partial.append(data);
    }
    if (!partial.empty())
        addLine(partial);
}

}  // namespace

void SetSignatureFile(std::string path)
{
    list().file = std::move(path);
    list().fileChosen = true;
}

const std::string& SignatureFile()
{
    SignatureList& l = list();
    if (!l.fileChosen) {
        l.file = ProgramFolder() + kPathSeparator + "ombrix.ini";
        l.fileChosen = true;
    }
    return l.file;
}

void LoadSignatures()
{
    SignatureList& l = list();
    l.entries.clear();
    l.byFileName.clear();
    l.byFoldedName.clear();

    const int fd = ::open(SignatureFile().c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    // Lines run about 32 bytes; sizing for that spares most regrowth.
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        const auto expected = std::size_t(st.st_size) / 32 + 1;
        l.entries.reserve(expected);
        l.byFileName.reserve(expected);
        l.byFoldedName.reserve(expected);
    }
    readLines(fd);
    ::close(fd);
}

void AddSignature(const std::string& name, const std::string& fileName)
{
    addEntry(name, fileName);
}

std::size_t SignatureCount()
{
    return list().entries.size();
}

const std::vector<Signature>& Signatures()
{
    return list().entries;
}

const Signature* FindSignature(std::string_view name)
{
    const SignatureList& l = list();
    if (name.empty() || l.entries.empty())
        return nullptr;
    const std::uint32_t index = l.byFoldedName.find(
        NameIndex::foldedHash(name), [&](std::uint32_t e) { return equalsFolded(l.entries[e].FileName, name); });
    return index == NameIndex::npos ? nullptr : &l.entries[index];
}

}  // namespace ombrix::mFileSearch
