#include "platform/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "model/error.h"

namespace fs = std::filesystem;

namespace tessaro::platform {

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::size_t LastSeparator(std::string_view path) {
    return path.find_last_of("/\\");
}

} // namespace

bool CopyFile(const std::string& src, const std::string& dst) {
    std::error_code ec;
    if (src.empty() || dst.empty()) return false;
    if (fs::equivalent(src, dst, ec)) return true; // copying a file onto itself keeps it
    ec.clear();
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
