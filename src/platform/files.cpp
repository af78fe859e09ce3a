#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <system_error>
#include <unordered_map>

#include "model/error.h"

namespace fs = std::filesystem;

namespace tessaro::platform {

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::size_t LastSeparator(std::string_view path) {
    return path.find_last_of("/\\");
}

FileStamp StampFrom(const struct stat& st) {
    FileStamp f;
    f.Dev = st.st_dev;
    f.Ino = st.st_ino;
    f.Size = st.st_size;
    f.Modified[0] = st.st_mtim.tv_sec;
    f.Modified[1] = st.st_mtim.tv_nsec;
    f.Changed[0] = st.st_ctim.tv_sec;
    f.Changed[1] = st.st_ctim.tv_nsec;
    return f;
}

// What UpdateFile last wrote to a path, and the file's stamp right after.
struct Written {
    FileStamp Stamp;
    std::string Bytes;
};

std::mutex writtenMutex;
std::unordered_map<std::string, Written> written; // guarded by writtenMutex

void Remember(const std::string& path, const FileStamp& stamp, std::string_view data) {
    std::lock_guard<std::mutex> lock(writtenMutex);
    // A handful of work files are rewritten; a long-running program that
    // writes to many folders must not keep every one of them.
    if (written.size() >= 32 && !written.count(path)) written.clear();
    Written& w = written[path];
    w.Stamp = stamp;
    w.Bytes.assign(data);
}

void Forget(const std::string& path) {
    std::lock_guard<std::mutex> lock(writtenMutex);
    written.erase(path);
}

// Whether the regular file `st` describes already holds `data`: from memory
// when the file is as UpdateFile left it (and old enough for its stamp to
// tell), otherwise by reading it.
bool Holds(const std::string& path, const struct stat& st, std::string_view data) {
    if (std::size_t(st.st_size) != data.size()) return false;
    const FileStamp stamp = StampFrom(st);
    if (IsSettled(stamp)) {
        std::lock_guard<std::mutex> lock(writtenMutex);
        auto it = written.find(path);
        if (it != written.end() && it->second.Stamp == stamp) return it->second.Bytes == data;
    }
    std::string disk;
    try {
        disk = ReadFile(path);
    } catch (const Error&) {
        return false; // unreadable: written below, which reports a real failure
    }
    if (disk != data) return false;
    Remember(path, stamp, data);
    return true;
}

} // namespace

// Whether dst already is a copy of src: same bytes and permissions. Only
// small files are compared; reading a big one costs as much as copying it.
bool AlreadyCopied(const std::string& src, const std::string& dst) {
    struct stat s {}, d {};
    if (::stat(src.c_str(), &s) != 0 || ::stat(dst.c_str(), &d) != 0) return false;
    if (!S_ISREG(s.st_mode) || !S_ISREG(d.st_mode) || s.st_size != d.st_size ||
        (s.st_mode & 07777) != (d.st_mode & 07777) || s.st_size > (off_t(8) << 20))
        return false;
    try {
        return ReadFile(src) == ReadFile(dst);
    } catch (const Error&) {
        return false;
    }
}

bool CopyFile(const std::string& src, const std::string& dst) {
    std::error_code ec;
    if (src.empty() || dst.empty()) return false;
    if (fs::equivalent(src, dst, ec)) return true; // copying a file onto itself keeps it
    ec.clear();
    // A copy that is already there is left alone: replacing it gives its
    // blocks back and takes new ones, which on a disk that discards freed
    // blocks costs milliseconds (opening a project copies its pictures into
    // the program folder every time).
    if (AlreadyCopied(src, dst)) return true;
    return fs::copy_file(src, dst, fs::copy_options::overwrite_existing, ec) && !ec;
}

bool DeleteFile(const std::string& path) {
    std::error_code ec;
    return fs::remove(path, ec) && !ec;
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

bool CreateFolder(const std::string& path) {
    std::error_code ec;
    std::string p = path;
    while (p.size() > 1 && (p.back() == '/' || p.back() == '\\')) p.pop_back();
    if (p.empty()) return false;
    fs::create_directory(p, ec);
    return fs::is_directory(p, ec);
}

void MakeFolder(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && (p.back() == '/' || p.back() == '\\')) p.pop_back();
    if (p.empty()) throw Error("Cannot create a folder without a name.");
    std::error_code ec;
    if (fs::is_directory(p, ec)) return;
    if (::mkdir(p.c_str(), 0777) == 0) return;
    const int err = errno;
    std::string parent = FolderPart(p);
    if (parent.empty()) parent = "./";
    std::string reason;
    if (err == EEXIST)
        reason = "a file of that name is in the way.";
    else if (err == ENOENT)
        reason = "the folder " + Quoted(parent) + " does not exist.";
    else if (err == EACCES || err == EPERM || err == EROFS)
        reason = "the folder " + Quoted(parent) + " is not writable.";
    else
        reason = std::string(std::strerror(err)) + ".";
    throw Error("Cannot create the folder " + Quoted(p) + ": " + reason);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    if (!in || fs::is_directory(path, ec)) {
        int err = errno;
        std::string reason = fs::is_directory(path, ec) ? "It is a folder."
                                                        : std::string(std::strerror(err ? err : ENOENT)) + ".";
        throw Error("Cannot open file " + Quoted(path) + ". " + reason);
    }
    std::string data;
    in.seekg(0, std::ios::end);
    auto size = in.tellg();
    if (size > 0) {
        data.resize(std::size_t(size));
        in.seekg(0, std::ios::beg);
        in.read(data.data(), size);
        if (!in) throw Error("Cannot read file " + Quoted(path) + ".");
    }
    return data;
}

void WriteFile(const std::string& path, std::string_view data) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw Error("Cannot create file " + Quoted(path) + ". " + std::strerror(errno) + ".");
    bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
    int err = errno;
    if (std::fclose(f) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) throw Error("Cannot write file " + Quoted(path) + ". " + std::strerror(err) + ".");
}

bool UpdateFile(const std::string& path, std::string_view data) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && Holds(path, st, data)) return false;

    // The file is overwritten where it lies and then cut to the new length,
    // never truncated first: on a disk that discards freed blocks, giving the
    // old blocks back and taking new ones costs milliseconds each time, and
    // rewriting the same few kilobytes over and over needs none of that.
    // Crash safety: these are work files that every pass regenerates from the
    // design, and nothing the user made lives only in them. A crash in the
    // middle leaves a file mixing old and new bytes, no worse than the short
    // file a truncating write leaves behind, and the next pass writes it
    // whole again. (A temporary file and a rename would free the old blocks
    // just the same.)
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int err = errno;
        Forget(path);
        throw Error("Cannot create file " + Quoted(path) + ". " + std::strerror(err) + ".");
    }
    bool ok = true;
    int err = 0;
    std::size_t done = 0;
    while (ok && done < data.size()) {
        const ssize_t n = ::pwrite(fd, data.data() + done, data.size() - done, off_t(done));
        if (n > 0) done += std::size_t(n);
        else if (n < 0 && errno == EINTR) continue;
        else {
            ok = false;
            err = n < 0 ? errno : EIO;
        }
    }
    if (ok && ::ftruncate(fd, off_t(data.size())) != 0) {
        ok = false;
        err = errno;
    }
    struct stat after {};
    if (ok && ::fstat(fd, &after) != 0) {
        ok = false;
        err = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        Forget(path);
        throw Error("Cannot write file " + Quoted(path) + ". " + std::strerror(err) + ".");
    }
    Remember(path, StampFrom(after), data);
    return true;
}

FileStamp StampOf(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return FileStamp{};
    return StampFrom(st);
}

bool IsSettled(const FileStamp& stamp) {
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    // File times come from a coarse clock (a few milliseconds): a change made
    // within the same tick leaves the stamp as it was. Two seconds on, any
    // later change shows.
    const long long age = (long long)now.tv_sec - stamp.Changed[0];
    return stamp.Size >= 0 && age >= 2;
}

void WriteFileAtomic(const std::string& path, std::string_view data) {
    // A link is followed, so the file it points at is replaced, not the link.
    std::string target = path;
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec) target = resolved.string();
    }
    // The temporary name is short, so that any name the folder allows can be
    // written.
    static unsigned serial = 0;
    const std::string tmp = FolderPart(target) + ".tessaro-" + std::to_string(::getpid()) + "-" +
                            std::to_string(++serial) + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) throw Error("Cannot write file " + Quoted(path) + ". " + std::strerror(errno) + ".");
    bool ok = data.empty() || std::fwrite(data.data(), 1, data.size(), f) == data.size();
    int err = errno;
    // The replaced file keeps its permissions.
    struct stat old {};
    if (ok && ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(::fileno(f), old.st_mode & 07777);
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && std::rename(tmp.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        DeleteFile(tmp);
        throw Error("Cannot write file " + Quoted(path) + ". " + std::strerror(err) + ".");
    }
}

bool WriteFileAtomicIfChanged(const std::string& path, std::string_view data) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && std::size_t(st.st_size) == data.size() &&
        st.st_size <= (off_t(8) << 20)) {
        try {
            if (ReadFile(path) == data) return false;
        } catch (const Error&) {
        }
    }
    WriteFileAtomic(path, data);
    return true;
}

std::string FileNamePart(std::string_view path) {
    auto p = LastSeparator(path);
    return std::string(p == std::string_view::npos ? path : path.substr(p + 1));
}

std::string FolderPart(std::string_view path) {
    auto p = LastSeparator(path);
    return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}

std::string ExtensionOf(std::string_view path) {
    auto sep = LastSeparator(path);
    auto dot = path.rfind('.');
    if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep)) return {};
    return std::string(path.substr(dot));
}

std::string WithoutExtension(std::string_view path) {
    std::string ext = ExtensionOf(path);
    return std::string(path.substr(0, path.size() - ext.size()));
}

std::string ChangeExtension(std::string_view path, std::string_view ext) {
    return WithoutExtension(path) + std::string(ext);
}

std::string ExecutableDir() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return "./";
    std::string dir = exe.parent_path().string();
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

} // namespace tessaro::platform
