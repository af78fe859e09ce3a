// The program folder lock: a second holder waits and then gives up with a
// clear message; one process may nest the lock; a planted link is refused.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "model/error.h"
#include "platform/folderlock.h"
#include "support/test_util.h"

namespace fs = std::filesystem;
using tessaro::platform::ProgramFolderLock;
using tessaro::testsupport::ErrorOf;

namespace {

struct Folder {
    std::string Path;
    Folder() {
        std::string tmpl = (fs::temp_directory_path() / "tessaro-lock-XXXXXX").string();
        Path = std::string(::mkdtemp(tmpl.data())) + "/";
    }
    ~Folder() {
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
};

// Another process's hold on the folder: flock on its own open file
// description conflicts with ours even inside this process.
struct OtherHolder {
    int Fd;
    explicit OtherHolder(const std::string& dir)
        : Fd(::open((dir + tessaro::platform::kLockFileName).c_str(), O_RDWR | O_CREAT, 0666)) {}
    bool TryLock() const { return ::flock(Fd, LOCK_EX | LOCK_NB) == 0; }
    void Unlock() const { ::flock(Fd, LOCK_UN); }
    ~OtherHolder() { ::close(Fd); }
};

} // namespace

TEST(ProgramFolderLock, ASecondHolderWaitsThenGivesUpWithAClearMessage) {
    Folder dir;
    OtherHolder other(dir.Path);
    ASSERT_TRUE(other.TryLock());

    const auto start = std::chrono::steady_clock::now();
    const std::string message = ErrorOf([&] { ProgramFolderLock lock(dir.Path, 300); });
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_NE(message.find("The program folder \"" + dir.Path + "\" is in use by another Tessaro"),
              std::string::npos)
        << message;
    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_LT(waited, std::chrono::seconds(3));

    // Released during the wait: the lock is taken, and held against others.
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        other.Unlock();
    });
    {
        ProgramFolderLock lock(dir.Path, 5000);
        release.join();
        EXPECT_FALSE(other.TryLock());
    }
    EXPECT_TRUE(other.TryLock());
}

TEST(ProgramFolderLock, NestsWithinOneProcessAndReleasesWithTheOutermost) {
    Folder dir;
    OtherHolder other(dir.Path);
    {
        ProgramFolderLock outer(dir.Path, 100);
        {
            // The same folder by another spelling of its path.
            ProgramFolderLock inner(dir.Path + "./", 100);
        }
        EXPECT_FALSE(other.TryLock()) << "released by the inner lock";
    }
    EXPECT_TRUE(other.TryLock());
}

TEST(ProgramFolderLock, RefusesAPlantedLinkAndSkipsAMissingFolder) {
    Folder dir;
    fs::create_symlink(dir.Path + "elsewhere", dir.Path + tessaro::platform::kLockFileName);
    EXPECT_NE(ErrorOf([&] { ProgramFolderLock lock(dir.Path, 100); }).find("Cannot lock"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(dir.Path + "elsewhere"));

    EXPECT_EQ(ErrorOf([&] { ProgramFolderLock lock(dir.Path + "missing/", 100); }), "no error");
}
