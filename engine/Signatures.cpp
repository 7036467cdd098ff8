#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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
    NameIndex byFileName;     // exact file name -> entry, for joining repeated names
    NameIndex byFoldedName;   // folded file name -> first entry that can match
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

// Reads the whole file. On a read error the bytes after the last complete line
// are dropped, so loading keeps exactly the lines read before the failure.
bool readSignatureFile(const std::string& path, std::string& out)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    const std::size_t room = (::fstat(fd, &st) == 0 && st.st_size > 0) ? std::size_t(st.st_size) + 1 : 65536;
    std::size_t used = 0;
    for (;;) {
        if (out.size() - used < 4096)
            out.resize(std::max(room, out.size() * 2));
        const ssize_t n = ::read(fd, out.data() + used, out.size() - used);
        if (n > 0) {
            used += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const auto lastEnd = std::string_view(out.data(), used).find_last_of('\r');
            used = lastEnd == std::string_view::npos ? 0 : lastEnd + 1;
        }
        break;
    }
    out.resize(used);
    ::close(fd);
    return true;
}

std::size_t countLineEnds(const std::string& text)
{
    std::size_t count = 0;
    for (const char* p = text.data(), *end = p + text.size();
         (p = static_cast<const char*>(std::memchr(p, '\r', std::size_t(end - p)))) != nullptr; ++p)
        ++count;
    return count;
}

void addEntry(std::string_view name, std::string_view fileName)
{
    SignatureList& l = list();
    const auto next = std::uint32_t(l.entries.size());
    const std::uint32_t held = l.byFileName.insert(fileName, NameIndex::hash(fileName), next);
    if (held != next) {
        l.entries[held].VirusName.append(", ").append(name);
        return;
    }
    l.entries.push_back({std::string(name), std::string(fileName)});
    if (fileName.empty() || fileName.front() == '%')
        return;
    static std::string folded;
    folded.resize(fileName.size());
    foldAscii(fileName.data(), fileName.size(), folded.data());
    l.byFoldedName.insert(folded, NameIndex::hash(folded), next);
}

void addLine(std::string_view line)
{
    line = trimSpaces(line);
    if (line.empty() || line.front() == '\'')
        return;
    const auto tab = line.find('\t');
    std::string_view name = line.substr(0, tab);
    std::string_view fileName;
    if (tab != std::string_view::npos) {
        const std::string_view rest = line.substr(tab + 1);
        fileName = rest.substr(0, rest.find('\t'));
    }
    addEntry(trimSpaces(name), trimSpaces(fileName));
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

    std::string text;
    if (!readSignatureFile(SignatureFile(), text))
        return;
    const std::size_t lines = countLineEnds(text) + 1;
    l.entries.reserve(lines);
    l.byFileName.reserve(lines, text.size());
    l.byFoldedName.reserve(lines, text.size());
    // A CR ends a line and swallows one LF behind it; a lone LF is line content.
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t cr = text.find('\r', start);
        if (cr == std::string::npos) {
            addLine(std::string_view(text).substr(start));
            break;
        }
        addLine(std::string_view(text).substr(start, cr - start));
        start = cr + 1;
        if (start < text.size() && text[start] == '\n')
            ++start;
    }
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
    // File names are at most 255 bytes, so the folded copy stays on the stack.
    char small[256];
    std::string large;
    char* folded = small;
    if (name.size() > sizeof small) {
        large.resize(name.size());
        folded = large.data();
    }
    foldAscii(name.data(), name.size(), folded);
    const std::string_view key(folded, name.size());
    const std::uint32_t index = l.byFoldedName.find(key, NameIndex::hash(key));
    return index == NameIndex::npos ? nullptr : &l.entries[index];
}

}  // namespace ombrix::mFileSearch
