#include "HostileTree.h"

#include <algorithm>

namespace ombrix::test {

namespace {

const std::string kLongFolder(255, 'n');
const std::string kLongFile = std::string(251, 'L') + ".exe";

}  // namespace

const std::string HostileTree::kSignatures = "Trojan.A\tbad.exe\r\nTest.Eicar\teicar.com\r\nLong\t" + kLongFile +
                                             "\r\nLatin\t\xe9vil.exe\r\n";

HostileTree::HostileTree(const TempTree& tree) : tree_(tree)
{
    // Each folder holds a file that matches, so a folder entered twice, or one
    // reached by its trimmed name, shows in the findings.
    for (const char* name : {" ..", " .", "  .  ", " ", " .hid", "a", "back\\slash", "-dash"}) {
        folder(name);
        file(std::string(name) + "/bad.exe", true);
    }
    folder(" a");
    file(" a/eicar.com", true);
    folder("new\nline");
    file("new\nline/BAD.EXE", true);
    file("-dash/-x", false);
    folder(kLongFolder);
    file(kLongFolder + "/" + kLongFile, true);
    folder("\xff\xfe");
    file("\xff\xfe/\xe9VIL.EXE", true);
    file(" eicar.com ", true);
    file("ok.txt", false);

    for (const char* name : {"bad.exe", "eicar.com", "scan/.hid/bad.exe", "outside/bad.exe", "outside/eicar.com"}) {
        tree_.file(name);
        outside_.push_back(name);
    }
}

std::vector<std::string> HostileTree::findings() const
{
    std::vector<std::string> paths;
    for (const std::string& relative : findings_)
        paths.push_back(start() + relative);
    std::sort(paths.begin(), paths.end());
    return paths;
}

void HostileTree::folder(const std::string& name)
{
    tree_.dir("scan/" + name);
    ++folders_;
}

void HostileTree::file(const std::string& relative, bool matches)
{
    tree_.file("scan/" + relative);
    ++files_;
    if (matches)
        findings_.push_back(relative);
}

}  // namespace ombrix::test
