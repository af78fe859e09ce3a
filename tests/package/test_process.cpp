// Starting external programs: output, exit status, start failures, timeouts.
#include <gtest/gtest.h>

#include <chrono>

#include "cabinet_fixture.h"
#include "platform/process.h"

using namespace cabtest;
using tessaro::platform::RunProgram;

TEST(RunProgram, CapturesOutputAndExitCodeAndPassesArgumentsWhole) {
    TempDir dir("tessaro proc ");
    auto r = RunProgram("/bin/sh",
                        {"-c", "pwd; printf '[%s]' \"$1\"; echo oops >&2; exit 5", "sh", "a b  c"},
                        dir.Path, 5000);
    ASSERT_TRUE(r.Started) << r.Error;
    EXPECT_TRUE(r.Finished);
    EXPECT_EQ(r.ExitCode, 5);
    EXPECT_NE(r.Output.find(dir.Path.substr(0, dir.Path.size() - 1) + "\n"), std::string::npos)
        << r.Output;
    EXPECT_NE(r.Output.find("[a b  c]"), std::string::npos) << r.Output;
    EXPECT_NE(r.Output.find("oops"), std::string::npos) << r.Output;
}

TEST(RunProgram, ProgramThatCannotStartIsReportedNotRun) {
    TempDir dir;
    Spit(dir.Path + "plain", "#!/bin/sh\necho ran\n"); // not executable
    for (int timeout : {5000, -1}) {
        auto missing = RunProgram(dir.Path + "absent", {}, "", timeout);
        EXPECT_FALSE(missing.Started);
        EXPECT_NE(missing.Error.find("absent"), std::string::npos) << missing.Error;
        auto plain = RunProgram(dir.Path + "plain", {}, "", timeout);
        EXPECT_FALSE(plain.Started);
        EXPECT_FALSE(plain.Error.empty());
    }
    auto badDir = RunProgram("/bin/true", {}, dir.Path + "no-such-folder", 5000);
    EXPECT_FALSE(badDir.Started);
}

TEST(RunProgram, SlowProgramIsStoppedAtTheTimeoutWhilePumping) {
    int pumps = 0;
    auto start = std::chrono::steady_clock::now();
    auto r = RunProgram("/bin/sh", {"-c", "echo begun; sleep 20"}, "", 300, [&] { ++pumps; });
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_TRUE(r.Started);
    EXPECT_FALSE(r.Finished);
    EXPECT_LT(took, std::chrono::seconds(5));
    EXPECT_GE(pumps, 5);
    EXPECT_NE(r.Output.find("begun"), std::string::npos);
}

TEST(RunProgram, LargeOutputDoesNotStallTheChild) {
    auto r = RunProgram("/bin/sh", {"-c", "head -c 300000 /dev/zero | tr '\\0' x"}, "", 10000);
    ASSERT_TRUE(r.Finished);
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Output.size(), 300000u);
}

TEST(RunProgram, RelativeProgramPathIsFoundFromTheCallersFolderNotTheWorkFolder) {
    TempDir dir;
    ASSERT_EQ(::mkdir((dir.Path + "tools").c_str(), 0755), 0);
    Executable(dir.Path + "tools/probe", "#!/bin/sh\npwd\n");
    ASSERT_EQ(::mkdir((dir.Path + "work").c_str(), 0755), 0);
    char here[4096];
    ASSERT_NE(::getcwd(here, sizeof here), nullptr);
    ASSERT_EQ(::chdir(dir.Path.c_str()), 0);
    auto r = RunProgram("tools/probe", {}, dir.Path + "work", 5000);
    ASSERT_EQ(::chdir(here), 0);
    ASSERT_TRUE(r.Started) << r.Error;
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_NE(r.Output.find(dir.Path + "work\n"), std::string::npos) << r.Output;
}

TEST(RunProgram, EndIsNoticedWhileSomethingElseHoldsTheOutputOpen) {
    // The program ends at once but leaves a background child holding its
    // output: the wait ends with the program, with what it printed, and does
    // not wait for the background child.
    TempDir dir;
    const auto start = std::chrono::steady_clock::now();
    auto r = RunProgram("/bin/sh", {"-c", "sleep 5 & echo started; exit 3"}, dir.Path, 20000);
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(r.Started) << r.Error;
    EXPECT_TRUE(r.Finished);
    EXPECT_EQ(r.ExitCode, 3);
    EXPECT_NE(r.Output.find("started"), std::string::npos) << r.Output;
    EXPECT_LT(took, std::chrono::seconds(4));
}

TEST(RunProgram, AStartFailureSaysWhichStepFailedWaitedOrNot) {
    TempDir dir;
    Spit(dir.Path + "file", "not a folder");
    for (int timeout : {5000, -1}) {
        auto noFolder = RunProgram("/bin/true", {}, dir.Path + "no-such-folder", timeout);
        EXPECT_FALSE(noFolder.Started);
        EXPECT_EQ(noFolder.Error, "Cannot change to the folder \"" + dir.Path +
                                      "no-such-folder\": No such file or directory");
        auto notFolder = RunProgram("/bin/true", {}, dir.Path + "file", timeout);
        EXPECT_EQ(notFolder.Error, "Cannot change to the folder \"" + dir.Path + "file\": Not a directory");
        auto missing = RunProgram(dir.Path + "absent", {}, dir.Path, timeout);
        EXPECT_EQ(missing.Error, "Cannot start \"" + dir.Path + "absent\": No such file or directory");
    }
    // A bare name is looked up on the PATH.
    auto sh = RunProgram("sh", {"-c", "exit 4"}, dir.Path, 5000);
    ASSERT_TRUE(sh.Started) << sh.Error;
    EXPECT_EQ(sh.ExitCode, 4);
}
