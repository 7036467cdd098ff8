#include "Paths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "ProbeProcess.h"
#include "RunProgram.h"
#include "TempTree.h"

namespace ombrix {
namespace {

// The folder of whichever program runs, found again after the program is
// copied elsewhere; it never ends in a separator.
TEST(ProgramFolder, isTheFolderOfTheRunningProgram)
{
    const test::TempTree scratch;
    scratch.dir("a b/c");
    const std::string copy = scratch.path("a b/c/probe copy.exe");
    ASSERT_TRUE(CopyFileA(test::probeProgram().c_str(), copy.c_str(), FALSE));
    SetEnvironmentVariableA("OMBRIX_PROBE_RECORD", scratch.path("where").c_str());
    ASSERT_EQ(test::runProgram({copy, "where"}).status, 0);
    EXPECT_EQ(test::takeFile(scratch.path("where")), scratch.path("a b/c") + '\n');

    EXPECT_FALSE(ProgramFolder().ends_with('\\'));
    EXPECT_TRUE(std::filesystem::exists(test::probeProgram())) << test::probeProgram();
}

}  // namespace
}  // namespace ombrix
