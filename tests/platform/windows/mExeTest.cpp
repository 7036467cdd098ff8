#include "mExe.h"

#include <gtest/gtest.h>

#include "ProbeProcess.h"
#include "RunProgram.h"
#include "TempTree.h"

namespace ombrix {
namespace {

// The probe records how it was started in the file "record" of `scratch`.
class Launch : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetEnvironmentVariableA("OMBRIX_PROBE_RECORD", record_.c_str());
        for (const char* copy : {"recorder.exe", "launcher.exe", "explorer.exe"})
            ASSERT_TRUE(CopyFileA(test::probeProgram().c_str(), scratch_.path(copy).c_str(), FALSE));
    }

    const test::TempTree scratch_;
    const std::string record_ = scratch_.path("record");
};

// The program starts in the launching program's folder, whatever the current
// folder, with the parameters as given; a missing file starts nothing and
// shows nothing.
TEST_F(Launch, programsStartInTheProgramFolderWithTheirParameters)
{
    scratch_.dir("elsewhere");
    ASSERT_TRUE(SetCurrentDirectoryA(scratch_.path("elsewhere").c_str()));
    for (const std::string& file : {scratch_.path("missing.exe"), scratch_.path("recorder.exe")}) {
        ASSERT_EQ(test::runProgram({scratch_.path("launcher.exe"), "shell-open", file, "two  three"}).status, 0);
    }
    const std::string recorded = test::takeFile(record_);
    const std::size_t lineEnd = recorded.find('\n');
    ASSERT_NE(lineEnd, std::string::npos) << recorded;
    const std::string commandLine = recorded.substr(0, lineEnd);
    EXPECT_NE(commandLine.find("recorder.exe"), std::string::npos) << commandLine;
    EXPECT_TRUE(commandLine.ends_with(" two  three")) << commandLine;
    EXPECT_EQ(recorded.substr(lineEnd + 1), scratch_.root() + '\n');
}

// The file manager's command line is "explorer.exe " and the folder as it is,
// blanks unquoted; explorer.exe is found beside the launching program first,
// so the copy of the probe there stands in for it.
TEST_F(Launch, theFileManagerGetsTheFolderUnquoted)
{
    for (const std::string folder : {"D:\\a b\\c d\\", ""}) {
        ASSERT_EQ(test::runProgram({scratch_.path("launcher.exe"), "open-folder", folder}).status, 0);
        const std::string recorded = test::takeFile(record_);
        EXPECT_EQ(recorded.substr(0, recorded.find('\n')), "explorer.exe " + folder) << folder;
    }
}

}  // namespace
}  // namespace ombrix
