#include "support.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sanitizer/common_interface_defs.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fuzz {

namespace {

// The real stderr, kept while Quiet hides fd 2.
int RealStderr() {
    static const int fd = [] {
        int d = ::dup(2);
        __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(d)));
        return d;
    }();
    return fd;
}

int RealStdout() {
    static const int fd = ::dup(1);
    return fd;
}

std::vector<std::string>& Scratch() {
    static std::vector<std::string> folders;
    return folders;
}

void RemoveScratch() {
    for (const auto& f : Scratch()) RemoveTree(f);
}

void Walk(const std::string& root, const std::string& rel, bool withContent, Tree& out) {
    DIR* d = ::opendir((root + rel).c_str());
    if (!d) return;
    while (dirent* e = ::readdir(d)) {
        std::string n = e->d_name;
        if (n == "." || n == "..") continue;
        std::string path = rel.empty() ? n : rel + "/" + n;
        std::string full = root + path;
        struct stat st {};
        if (::lstat(full.c_str(), &st) != 0) continue;
        Entry entry;
        if (S_ISLNK(st.st_mode)) {
            entry.Kind = 'l';
            char buf[4096];
            ssize_t len = ::readlink(full.c_str(), buf, sizeof buf);
            if (len > 0) entry.Content.assign(buf, std::size_t(len));
        } else if (S_ISDIR(st.st_mode)) {
            entry.Kind = 'd';
        } else if (S_ISREG(st.st_mode)) {
            entry.Kind = 'f';
            entry.Content = withContent ? ReadFile(full)
                                        : std::to_string(st.st_size) + ":" +
                                              std::to_string(st.st_mtim.tv_sec) + "." +
                                              std::to_string(st.st_mtim.tv_nsec);
        }
        out[path] = entry;
        if (entry.Kind == 'd') Walk(root, path, withContent, out);
    }
    ::closedir(d);
}

} // namespace

void Finding(const std::string& what) {
    const std::string text = "\n*** FINDING: " + what + "\n";
    std::fflush(stdout);
    std::fflush(stderr);
    ssize_t ignored = ::write(RealStderr(), text.data(), text.size());
    (void)ignored;
    ::dup2(RealStderr(), 2);
    std::abort();
}

Quiet::Quiet() {
    RealStderr();
    std::fflush(stdout);
    std::fflush(stderr);
    static const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    RealStdout();
    ::dup2(null, 1);
    ::dup2(null, 2);
}

Quiet::~Quiet() {
    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(RealStdout(), 1);
    ::dup2(RealStderr(), 2);
}

std::string ScratchFolder(const std::string& tag) {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/tessaro-fuzz-" + tag + "-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) Finding("cannot create a scratch folder: " + std::string(std::strerror(errno)));
    if (Scratch().empty()) std::atexit(RemoveScratch);
    Scratch().push_back(buf.data());
    return std::string(buf.data()) + "/";
}

void WriteFile(const std::string& path, std::string_view data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), std::streamsize(data.size()));
    if (!out) Finding("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void RemoveTree(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return;
    if (S_ISDIR(st.st_mode)) {
        if (DIR* d = ::opendir(path.c_str())) {
            std::vector<std::string> names;
            while (dirent* e = ::readdir(d)) {
                std::string n = e->d_name;
                if (n != "." && n != "..") names.push_back(n);
            }
            ::closedir(d);
            for (const auto& n : names) RemoveTree(path + "/" + n);
        }
        ::rmdir(path.c_str());
    } else {
        ::unlink(path.c_str());
    }
}

void CopyTree(const std::string& from, const std::string& to) {
    ::mkdir(to.c_str(), 0755);
    for (const auto& [rel, e] : Snapshot(from)) {
        if (e.Kind == 'd') ::mkdir((to + "/" + rel).c_str(), 0755);
        else if (e.Kind == 'f') WriteFile(to + "/" + rel, e.Content);
    }
}

Tree Snapshot(const std::string& root, bool withContent) {
    Tree out;
    std::string r = root;
    if (!r.empty() && r.back() != '/') r += '/';
    Walk(r, "", withContent, out);
    return out;
}

std::string Differences(const Tree& before, const Tree& after) {
    std::string out;
    for (const auto& [path, e] : before) {
        auto it = after.find(path);
        if (it == after.end()) out += " removed " + path + ";";
        else if (it->second.Kind != e.Kind || it->second.Content != e.Content)
            out += " changed " + path + ";";
    }
    for (const auto& [path, e] : after)
        if (!before.count(path)) out += " added " + path + ";";
    return out;
}

std::vector<std::string> Split(std::string_view data, std::string_view separator) {
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (true) {
        std::size_t at = data.find(separator, pos);
        if (at == std::string_view::npos) {
            parts.emplace_back(data.substr(pos));
            return parts;
        }
        parts.emplace_back(data.substr(pos, at - pos));
        pos = at + separator.size();
    }
}

} // namespace fuzz
