// Work files rewritten on every preview pass: left alone when unchanged,
// otherwise overwritten in place to exactly the new bytes.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "model/error.h"
#include "platform/files.h"
#include "platform/picture.h"

using namespace tessaro;
namespace fs = std::filesystem;

namespace {

class WorkFileTest : public testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tessaro_workfiles_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "iconbar.jpg").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    static struct stat Stat(const std::string& p) {
        struct stat st {};
        EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
        return st;
    }
    static void PutBehindOurBack(const std::string& p, const std::string& data) {
        std::ofstream(p, std::ios::binary | std::ios::trunc) << data;
    }

    fs::path dir_;
    std::string path_;
};

} // namespace

TEST_F(WorkFileTest, WritesOnlyWhenTheBytesChangeAndKeepsTheFile) {
    const std::string first(5000, 'a');
    EXPECT_TRUE(platform::UpdateFile(path_, first)) << "a new file is written";
    EXPECT_EQ(platform::ReadFile(path_), first);
    const struct stat written = Stat(path_);

    EXPECT_FALSE(platform::UpdateFile(path_, first)) << "the same bytes again: left alone";
    const struct stat same = Stat(path_);
    EXPECT_EQ(same.st_mtim.tv_nsec, written.st_mtim.tv_nsec);
    EXPECT_EQ(same.st_mtim.tv_sec, written.st_mtim.tv_sec);

    // Shorter, then longer: no stale tail, no short file; the same file
    // (inode) throughout, so nothing is freed and allocated again.
    std::string shorter(3000, 'b');
    shorter[2999] = 'z';
    EXPECT_TRUE(platform::UpdateFile(path_, shorter));
    EXPECT_EQ(platform::ReadFile(path_), shorter);
    const std::string longer = std::string(7000, 'c') + "end";
    EXPECT_TRUE(platform::UpdateFile(path_, longer));
    EXPECT_EQ(platform::ReadFile(path_), longer);
    EXPECT_EQ(Stat(path_).st_ino, written.st_ino);

    EXPECT_TRUE(platform::UpdateFile(path_, "")) << "cut to nothing";
    EXPECT_EQ(fs::file_size(path_), 0u);
}

TEST_F(WorkFileTest, AFileChangedOrRemovedBehindItsBackIsWrittenAgain) {
    const std::string data(4096, 'x');
    ASSERT_TRUE(platform::UpdateFile(path_, data));

    // Same size, other bytes, written by someone else: what is remembered no
    // longer describes the file, so the bytes are compared on disk.
    PutBehindOurBack(path_, std::string(4096, 'y'));
    EXPECT_TRUE(platform::UpdateFile(path_, data));
    EXPECT_EQ(platform::ReadFile(path_), data);

    // Replaced by another file (a rename onto it), same size and bytes as ours
    // but for one.
    std::string other = data;
    other[100] = 'q';
    PutBehindOurBack((dir_ / "new").string(), other);
    fs::rename(dir_ / "new", path_);
    EXPECT_TRUE(platform::UpdateFile(path_, data));
    EXPECT_EQ(platform::ReadFile(path_), data);

    fs::remove(path_);
    EXPECT_TRUE(platform::UpdateFile(path_, data)) << "a deleted work file comes back";
    EXPECT_EQ(platform::ReadFile(path_), data);

    // A file that already holds the bytes, never written through here (a
    // fresh start of the program): read once and left alone.
    const std::string coldPath = (dir_ / "cold.jpg").string();
    PutBehindOurBack(coldPath, data);
    EXPECT_FALSE(platform::UpdateFile(coldPath, data));
    EXPECT_EQ(platform::ReadFile(coldPath), data);
}

TEST_F(WorkFileTest, FailuresAreReportedNotSwallowed) {
    const std::string missing = (dir_ / "no such folder" / "iconbar.jpg").string();
    try {
        platform::UpdateFile(missing, "data");
        FAIL() << "a write into a missing folder must fail";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("Cannot create file \"" + missing + "\""), std::string::npos)
            << e.what();
    }
    // A folder where the file should be.
    fs::create_directory(dir_ / "folder.jpg");
    EXPECT_THROW(platform::UpdateFile((dir_ / "folder.jpg").string(), "data"), Error);

    // After a failure nothing stale is trusted: the file written afterwards
    // holds the bytes asked for.
    ASSERT_TRUE(platform::UpdateFile(path_, "12345"));
    fs::remove(path_);
    fs::create_directory(path_);
    EXPECT_THROW(platform::UpdateFile(path_, "12345"), Error) << "a folder in its place";
    fs::remove(path_);
    EXPECT_TRUE(platform::UpdateFile(path_, "12345"));
    EXPECT_EQ(platform::ReadFile(path_), "12345");
}

TEST_F(WorkFileTest, AKeptPictureIsReadAgainWhenItsFileChanges) {
    const std::string bmp = (dir_ / "TrayIcons.bmp").string();
    const platform::Bitmap red(40, 20, 0x0000FF), blue(40, 20, 0xFF0000);
    platform::WriteBmp(bmp, red);
    EXPECT_EQ(platform::ReadBmpKept(bmp), red);
    EXPECT_EQ(platform::ReadBmpKept(bmp), red);
    // Rewritten in place with the same size straight away, as fast as the
    // file times may not tell.
    PutBehindOurBack(bmp, platform::EncodeBmp(blue));
    EXPECT_EQ(platform::ReadBmpKept(bmp), blue);
    fs::remove(bmp);
    EXPECT_THROW(platform::ReadBmpKept(bmp), Error) << "a missing picture fails as ReadBmp does";
    PutBehindOurBack(bmp, "BM damaged");
    EXPECT_THROW(platform::ReadBmpKept(bmp), Error);
}

TEST_F(WorkFileTest, ACopyThatIsAlreadyThereIsKeptAndAnyOtherReplaced) {
    const std::string src = (dir_ / "back.jpg").string(), dst = (dir_ / "copy.jpg").string();
    PutBehindOurBack(src, std::string(9000, 'p'));
    ASSERT_TRUE(platform::CopyFile(src, dst));
    EXPECT_EQ(platform::ReadFile(dst), platform::ReadFile(src));
    const struct stat first = Stat(dst);
    ASSERT_TRUE(platform::CopyFile(src, dst));
    EXPECT_EQ(Stat(dst).st_mtim.tv_nsec, first.st_mtim.tv_nsec) << "the same copy is not made again";

    // Same size, other bytes; then other permissions: copied again.
    std::string other(9000, 'p');
    other[8999] = 'q';
    PutBehindOurBack(src, other);
    ASSERT_TRUE(platform::CopyFile(src, dst));
    EXPECT_EQ(platform::ReadFile(dst), other);
    fs::permissions(src, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(platform::CopyFile(src, dst));
    EXPECT_EQ(fs::status(dst).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(platform::CopyFile((dir_ / "absent").string(), dst));
    EXPECT_EQ(platform::ReadFile(dst), other) << "a failed copy leaves the old one";
}

TEST_F(WorkFileTest, AnAtomicWriteOfTheSameBytesLeavesTheFileAlone) {
    const std::string p = (dir_ / "user.scheme.xml").string();
    EXPECT_TRUE(platform::WriteFileAtomicIfChanged(p, "scheme")) << "a new file is written";
    EXPECT_EQ(platform::ReadFile(p), "scheme");
    const struct stat first = Stat(p);
    EXPECT_FALSE(platform::WriteFileAtomicIfChanged(p, "scheme"));
    EXPECT_EQ(Stat(p).st_ino, first.st_ino) << "not replaced";
    EXPECT_EQ(Stat(p).st_mtim.tv_nsec, first.st_mtim.tv_nsec);

    // Other bytes of the same length, and a shorter text: written.
    EXPECT_TRUE(platform::WriteFileAtomicIfChanged(p, "schemf"));
    EXPECT_EQ(platform::ReadFile(p), "schemf");
    EXPECT_TRUE(platform::WriteFileAtomicIfChanged(p, "sch"));
    EXPECT_EQ(platform::ReadFile(p), "sch");

    // A folder in the way is an error, as for any write.
    fs::create_directory(dir_ / "folder");
    EXPECT_THROW(platform::WriteFileAtomicIfChanged((dir_ / "folder").string(), ""), Error);
}
