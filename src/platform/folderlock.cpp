#include "platform/folderlock.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "model/error.h"

namespace tessaro::platform {

namespace {

struct Held {
    int Fd = -1;
    int Count = 0;
};

// The folders this process holds, by device and inode of the folder.
std::mutex& TableMutex() {
    static std::mutex m;
    return m;
}
std::map<std::pair<unsigned long long, unsigned long long>, Held>& Table() {
    static std::map<std::pair<unsigned long long, unsigned long long>, Held> t;
    return t;
}

} // namespace

ProgramFolderLock::ProgramFolderLock(const std::string& folder, int waitMs) {
    std::string dir = folder.empty() ? std::string("./") : folder;
    if (dir.back() != '/')
        dir += '/';
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return;
    dev_ = st.st_dev;
    ino_ = st.st_ino;
    const auto key = std::make_pair(dev_, ino_);
    {
        std::lock_guard<std::mutex> guard(TableMutex());
        auto it = Table().find(key);
        if (it != Table().end()) {
            ++it->second.Count;
            held_ = true;
            return;
        }
    }

    const std::string path = dir + kLockFileName;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EACCES || errno == EROFS || errno == EPERM || errno == ENOENT)
            return;
        throw Error("Cannot lock the program folder \"" + folder + "\": " + std::strerror(errno));
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const int e = errno;
            ::close(fd);
            throw Error("Cannot lock the program folder \"" + folder + "\": " + std::strerror(e));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            throw Error("The program folder \"" + folder +
                        "\" is in use by another Tessaro (waited " +
                        std::to_string((waitMs + 999) / 1000) +
                        " seconds). Try again when it has finished.");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::lock_guard<std::mutex> guard(TableMutex());
    Table()[key] = Held{fd, 1};
    held_ = true;
}

ProgramFolderLock::~ProgramFolderLock() {
    if (!held_)
        return;
    std::lock_guard<std::mutex> guard(TableMutex());
    auto it = Table().find({dev_, ino_});
    if (it == Table().end())
        return;
    if (--it->second.Count == 0) {
        ::close(it->second.Fd); // closing the last descriptor releases the flock
        Table().erase(it);
    }
}

} // namespace tessaro::platform
