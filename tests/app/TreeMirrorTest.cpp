#include "TreeMirror.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ombrix {
namespace {

// A widget that logs what the mirror makes it do; items are numbered from 1.
struct ShownTree {
    std::vector<std::string> log;
    int made = 0;

    void sync(TreeMirror<int>& mirror, const DriveTree& tree)
    {
        mirror.sync(
            tree, [this] { log.push_back("clear"); },
            [this](const TreeEntry& entry, int parent) {
                log.push_back("add " + entry.text + " under " + std::to_string(parent));
                return ++made;
            },
            [this](int item, bool expanded) {
                if (expanded)
                    log.push_back("expand " + std::to_string(item));
            },
            [this](int item) { log.push_back("select " + std::to_string(item)); });
    }
};

TEST(TreeMirror, showsOnlyWhatWasAddedAndStartsOverWhenTheTreeDoes)
{
    DriveTree tree;
    tree.add({}, "mycomputer", "My Computer", "mycomputer")->expanded = true;
    tree.add("mycomputer", "drive.0", "/", "harddrive");
    tree.select("drive.0");
    TreeMirror<int> mirror;
    ShownTree shown;
    shown.sync(mirror, tree);
    EXPECT_EQ(shown.log, (std::vector<std::string>{"clear", "add My Computer under 0", "add / under 1", "expand 1",
                                                   "select 2"}));

    shown.log.clear();
    tree.add("drive.0", "drive.0.0", "home", "closedfolder", "openfolder");
    tree.find("drive.0")->expanded = true;
    shown.sync(mirror, tree);
    EXPECT_EQ(shown.log, (std::vector<std::string>{"add home under 2", "expand 1", "expand 2", "select 2"}));
    EXPECT_EQ(mirror.keyOf(3), "drive.0.0");
    EXPECT_EQ(mirror.keyOf(99), "");

    shown.log.clear();
    tree.clear();
    tree.add({}, "mycomputer", "My Computer", "mycomputer");
    shown.sync(mirror, tree);
    EXPECT_EQ(shown.log, (std::vector<std::string>{"clear", "add My Computer under 0"}));
    EXPECT_EQ(mirror.keyOf(3), "") << "the old items are gone";
}

}  // namespace
}  // namespace ombrix
