#include "devicefolder.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "toolsupport.h"

namespace cabloader {

namespace {

using cabtool::Failure;
using cabtool::Lower;

// Owns one file descriptor.
struct Fd {
    int v = -1;
    explicit Fd(int x = -1) : v(x) {}
    Fd(Fd&& o) noexcept : v(o.v) { o.v = -1; }
    Fd& operator=(Fd&& o) noexcept {
        if (this != &o) {
            if (v >= 0)
                ::close(v);
            v = o.v;
            o.v = -1;
        }
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (v >= 0)
            ::close(v);
    }
};

std::vector<std::string> Split(const std::string& target) {
    std::vector<std::string> parts;
    size_t pos = 0;
    while (true) {
        size_t end = target.find('/', pos);
        parts.push_back(target.substr(pos, end == std::string::npos ? end : end - pos));
        if (end == std::string::npos)
            return parts;
        pos = end + 1;
    }
}

std::string Join(const std::vector<std::string>& parts, size_t count) {
    std::string out;
    for (size_t i = 0; i < count && i < parts.size(); ++i)
        out += (i ? "/" : "") + parts[i];
    return out;
}

int OpenFolderAt(int dir, const std::string& name) {
    return ::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// The loader never follows a symbolic link in the device folder.
Failure LinkRefused(const std::string& shown) {
    return Failure{"\"" + shown +
                   "\" in the device folder is a symbolic link; the loader never follows one, so "
                   "nothing was installed"};
}

// Why `name` in `dir` (shown as `shown`) cannot be gone through as a folder;
// `err` is the errno of the failed open.
[[noreturn]] void RefuseFolder(int dir, const std::string& name, const std::string& shown,
                               int err) {
    struct stat st {};
    if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(st.st_mode))
            throw LinkRefused(shown);
        if (!S_ISDIR(st.st_mode))
            throw Failure{"\"" + shown +
                          "\" in the device folder is a file where the cabinet needs a folder; "
                          "nothing was installed"};
    }
    throw Failure{"cannot open the folder \"" + shown +
                  "\" in the device folder: " + std::strerror(err)};
}

// What is at `name` in `dir`: false when nothing; true for a plain file;
// refuses anything else.
bool ProbeFile(int dir, const std::string& name, const std::string& shown) {
    struct stat st {};
    if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return false;
        throw Failure{"cannot look at \"" + shown +
                      "\" in the device folder: " + std::strerror(errno)};
    }
    if (S_ISLNK(st.st_mode))
        throw LinkRefused(shown);
    if (S_ISDIR(st.st_mode))
        throw Failure{"\"" + shown +
                      "\" in the device folder is a folder where the cabinet installs a file; "
                      "nothing was installed"};
    if (!S_ISREG(st.st_mode))
        throw Failure{"\"" + shown +
                      "\" in the device folder is not a plain file; nothing was "
                      "installed"};
    return true;
}

// Walks to the folder holding the last part of `parts`, never through a
// link. create: makes missing folders, recording each made one (as its path)
// in `made`; otherwise returns an empty Fd when a folder is missing.
Fd WalkToParent(int root, const std::vector<std::string>& parts, bool create,
                std::vector<std::string>* made) {
    Fd cur(::dup(root));
    if (cur.v < 0)
        throw Failure{std::string("cannot open the device folder: ") + std::strerror(errno)};
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        Fd next(OpenFolderAt(cur.v, parts[i]));
        if (next.v < 0 && errno == ENOENT) {
            if (!create)
                return Fd();
            if (::mkdirat(cur.v, parts[i].c_str(), 0777) != 0)
                throw Failure{"cannot create the folder \"" + Join(parts, i + 1) +
                              "\" in the device folder: " + std::strerror(errno)};
            if (made)
                made->push_back(Join(parts, i + 1));
            next = Fd(OpenFolderAt(cur.v, parts[i]));
        }
        if (next.v < 0)
            RefuseFolder(cur.v, parts[i], Join(parts, i + 1), errno);
        cur = std::move(next);
    }
    return cur;
}

std::string ReadAllAt(int dir, const std::string& name) {
    Fd f(::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (f.v < 0) {
        if (errno == ENOENT)
            return "";
        throw Failure{"cannot read \"" + name + "\" in the device folder: " + std::strerror(errno)};
    }
    std::string out;
    char buf[65536];
    while (true) {
        ssize_t n = ::read(f.v, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw Failure{"cannot read \"" + name +
                          "\" in the device folder: " + std::strerror(errno)};
        if (n == 0)
            return out;
        out.append(buf, static_cast<size_t>(n));
    }
}

// Creates `name` in `dir` (which must not exist yet) holding `data`.
void WriteNewAt(int dir, const std::string& name, const std::string& data) {
    Fd f(::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (f.v < 0)
        throw Failure{std::string("cannot stage a file in the device folder: ") +
                      std::strerror(errno)};
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(f.v, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw Failure{std::string("cannot stage a file in the device folder: ") +
                          std::strerror(n < 0 ? errno : ENOSPC)};
        done += static_cast<size_t>(n);
    }
    int fd = f.v;
    f.v = -1;
    if (::close(fd) != 0)
        throw Failure{std::string("cannot stage a file in the device folder: ") +
                      std::strerror(errno)};
}

std::string RandomName() {
    unsigned char bytes[12];
    size_t got = 0;
    while (got < sizeof bytes) {
        ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw Failure{std::string("cannot draw a random name: ") + std::strerror(errno)};
        got += static_cast<size_t>(n);
    }
    static const char kHex[] = "0123456789abcdef";
    std::string out = kStagePrefix;
    out += "stage-";
    for (unsigned char b : bytes) {
        out += kHex[b >> 4];
        out += kHex[b & 0xF];
    }
    return out;
}

// The staging folder: made fresh by this run, removed with everything this
// run put in it.
class Stage {
  public:
    explicit Stage(int root) : root_(root) {
        for (int attempt = 0; attempt < 16; ++attempt) {
            std::string name = RandomName();
            if (::mkdirat(root, name.c_str(), 0700) == 0) {
                name_ = name;
                break;
            }
            if (errno != EEXIST)
                throw Failure{std::string("cannot create a staging folder in the device folder: ") +
                              std::strerror(errno)};
        }
        if (name_.empty())
            throw Failure{"cannot create a staging folder in the device folder"};
        fd_ = Fd(OpenFolderAt(root, name_));
        if (fd_.v < 0) {
            int e = errno;
            ::unlinkat(root, name_.c_str(), AT_REMOVEDIR);
            throw Failure{std::string("cannot open the staging folder: ") + std::strerror(e)};
        }
    }
    ~Stage() {
        if (kept_)
            return;
        for (const std::string& n : names_)
            ::unlinkat(fd_.v, n.c_str(), 0);
        fd_ = Fd();
        ::unlinkat(root_, name_.c_str(), AT_REMOVEDIR);
    }
    int fd() const { return fd_.v; }
    // Keeps the folder and what it holds (the old files an undo could not put
    // back) under a name the next run does not clear; returns that name.
    std::string Keep() {
        std::string kept = name_;
        kept.replace(0, std::string(kStagePrefix).size() + 6, std::string(kStagePrefix) + "kept-");
        if (::renameat(root_, name_.c_str(), root_, kept.c_str()) != 0)
            kept = name_;
        kept_ = true;
        return kept;
    }
    // Notes a name this run puts into the folder.
    const std::string& Use(std::string name) {
        names_.push_back(std::move(name));
        return names_.back();
    }

  private:
    int root_;
    std::string name_;
    Fd fd_;
    std::vector<std::string> names_;
    bool kept_ = false;
};

// One file to move into place.
struct Planned {
    std::string Target;
    std::vector<std::string> Parts;
    const std::string* Data = nullptr;
    size_t Source = 0; // index in the placements (or npos for the registry)
    std::string Staged, Backup;
    bool HadOld = false;     // an old file was there when checked
    bool BackedUp = false;   // the old file has a copy (link) in the stage
    bool MovedAside = false; // the old file was moved into the stage
    bool Placed = false;     // the new file is in place
};

// Waits (up to a minute) for the lock on the device folder itself (flock on
// the folder, so no file is added), so that two loaders never merge the
// registry file at the same time and one's update is lost.
Fd LockDevice(int root) {
    Fd lock(::openat(root, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (lock.v < 0)
        throw Failure{"cannot lock the device folder: " + std::string(std::strerror(errno))};
    for (int waited = 0; ::flock(lock.v, LOCK_EX | LOCK_NB) != 0; waited += 50) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            throw Failure{"cannot lock the device folder: " + std::string(std::strerror(errno))};
        if (waited >= 60000)
            throw Failure{"the device folder is in use by another install; nothing was installed"};
        ::usleep(50 * 1000);
    }
    return lock;
}

// Removes what an interrupted run left: staging folders and their files.
// Called with the device folder locked, so no other run is using them.
void RemoveStaleStages(int root) {
    const int copy = ::dup(root);
    if (copy < 0)
        return;
    DIR* dir = ::fdopendir(copy);
    if (!dir) {
        ::close(copy);
        return;
    }
    const std::string prefix = std::string(kStagePrefix) + "stage-";
    std::vector<std::string> stale;
    while (dirent* e = ::readdir(dir))
        if (std::string(e->d_name).rfind(prefix, 0) == 0)
            stale.push_back(e->d_name);
    ::closedir(dir);
    for (const std::string& name : stale) {
        Fd stage(OpenFolderAt(root, name));
        if (stage.v < 0)
            continue;
        const int inner = ::dup(stage.v);
        if (DIR* d = inner >= 0 ? ::fdopendir(inner) : nullptr) {
            std::vector<std::string> files;
            while (dirent* e = ::readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    files.push_back(e->d_name);
            ::closedir(d);
            for (const std::string& f : files)
                ::unlinkat(stage.v, f.c_str(),
                           0); // a folder planted there stays, and so does the stage
        } else if (inner >= 0) {
            ::close(inner);
        }
        ::unlinkat(root, name.c_str(), AT_REMOVEDIR);
    }
}

} // namespace

DeviceFolder::DeviceFolder(const std::string& path) : path_(path) {
    std::string cur;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t end = path.find('/', pos);
        if (end == std::string::npos)
            end = path.size();
        cur = path.substr(0, end);
        pos = end + 1;
        if (cur.empty())
            continue;
        struct stat st {};
        if (::stat(cur.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode))
                throw Failure{"\"" + cur + "\" is not a folder"};
            continue;
        }
        if (::mkdir(cur.c_str(), 0777) == 0)
            made_.push_back(cur);
        else if (errno != EEXIST)
            throw Failure{"cannot create the folder \"" + cur + "\": " + std::strerror(errno)};
    }
    fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        const int e = errno;
        for (size_t i = made_.size(); i-- > 0;)
            ::rmdir(made_[i].c_str());
        throw Failure{"cannot open the device folder \"" + path + "\": " + std::strerror(e)};
    }
}

DeviceFolder::~DeviceFolder() {
    if (fd_ >= 0)
        ::close(fd_);
    // A refused install leaves no device folder it had to make (nor its
    // parents), as long as they are still empty.
    if (!installed_)
        for (size_t i = made_.size(); i-- > 0;)
            ::rmdir(made_[i].c_str());
}

InstallResult
DeviceFolder::Install(const std::vector<Placement>& files,
                      const std::function<std::string(const std::string&)>* registry) {
    InstallResult result;
    result.Kept.assign(files.size(), false);
    const Fd lock = LockDevice(fd_);
    RemoveStaleStages(fd_);

    // Checks that need no disk: names, reserved names, a path wanted both as
    // a file and as a folder. A repeated target is handled as a second
    // install of the same file: it replaces the first unless it keeps what
    // is there.
    std::vector<Planned> plan;
    std::map<std::string, size_t> byTarget; // lower-case target -> plan index
    std::set<std::string> folders;          // lower-case folders the targets need
    for (size_t i = 0; i < files.size(); ++i) {
        const Placement& p = files[i];
        std::vector<std::string> parts = Split(p.Target);
        for (const std::string& part : parts)
            if (part.empty() || part == "." || part == ".." || part.find('\0') != std::string::npos)
                throw Failure{"refusing the destination \"" + p.Target + "\""};
        const std::string first = Lower(parts[0]);
        if (first == kRegistryFile)
            throw Failure{"the cabinet sends a file to \"" + p.Target +
                          "\", which is the device's registry file; nothing was installed"};
        if (first.rfind(kStagePrefix, 0) == 0)
            throw Failure{"the cabinet sends a file to \"" + p.Target +
                          "\", a name the loader keeps for itself; nothing was installed"};
        for (size_t k = 1; k < parts.size(); ++k)
            folders.insert(Lower(Join(parts, k)));
        const std::string key = Lower(p.Target);
        auto seen = byTarget.find(key);
        if (seen != byTarget.end()) {
            if (p.KeepExisting)
                result.Kept[i] = true;
            else {
                plan[seen->second].Data = &p.Data;
                plan[seen->second].Source = i;
            }
            continue;
        }
        byTarget[key] = plan.size();
        Planned step;
        step.Target = p.Target;
        step.Parts = std::move(parts);
        step.Data = &p.Data;
        step.Source = i;
        plan.push_back(std::move(step));
    }
    for (const Planned& step : plan)
        if (folders.count(Lower(step.Target)))
            throw Failure{"the cabinet installs \"" + step.Target +
                          "\" both as a file and as a folder; nothing was installed"};

    // Checks against what is in the device folder.
    std::vector<Planned> checked;
    for (Planned& step : plan) {
        Fd parent = WalkToParent(fd_, step.Parts, false, nullptr);
        step.HadOld = parent.v >= 0 && ProbeFile(parent.v, step.Parts.back(), step.Target);
        if (step.HadOld && files[step.Source].KeepExisting) {
            result.Kept[step.Source] = true;
            continue;
        }
        checked.push_back(std::move(step));
    }
    std::string newRegistry;
    if (registry) {
        ProbeFile(fd_, kRegistryFile, kRegistryFile);
        newRegistry = (*registry)(ReadAllAt(fd_, kRegistryFile));
        Planned step;
        step.Target = kRegistryFile;
        step.Parts = {kRegistryFile};
        step.Data = &newRegistry;
        step.Source = std::string::npos;
        checked.push_back(std::move(step));
    }

    Stage stage(fd_);
    for (size_t i = 0; i < checked.size(); ++i) {
        checked[i].Staged = stage.Use("n" + std::to_string(i));
        checked[i].Backup = "o" + std::to_string(i);
        WriteNewAt(stage.fd(), checked[i].Staged, *checked[i].Data);
    }

    std::vector<std::string> made;
    size_t done = 0;
    try {
        for (; done < checked.size(); ++done) {
            Planned& step = checked[done];
            Fd parent = WalkToParent(fd_, step.Parts, true, &made);
            const std::string& name = step.Parts.back();
            if (ProbeFile(parent.v, name, step.Target)) {
                stage.Use(step.Backup);
                if (::linkat(parent.v, name.c_str(), stage.fd(), step.Backup.c_str(), 0) == 0) {
                    step.BackedUp = true;
                } else if (::renameat(parent.v, name.c_str(), stage.fd(), step.Backup.c_str()) ==
                           0) {
                    step.MovedAside = true;
                } else {
                    throw Failure{"cannot keep the old \"" + step.Target +
                                  "\" aside: " + std::strerror(errno)};
                }
            }
            if (::renameat(stage.fd(), step.Staged.c_str(), parent.v, name.c_str()) != 0)
                throw Failure{"cannot put \"" + step.Target +
                              "\" in place: " + std::strerror(errno)};
            step.Placed = true;
        }
    } catch (const Failure& f) {
        // Undo in reverse order: old files back, new files out, new folders away.
        std::string undoFailed;
        for (size_t i = done + 1; i-- > 0;) {
            if (i >= checked.size())
                continue;
            Planned& step = checked[i];
            if (!step.BackedUp && !step.MovedAside && !step.Placed)
                continue;
            Fd parent;
            try {
                parent = WalkToParent(fd_, step.Parts, false, nullptr);
            } catch (const Failure&) {
            }
            if (parent.v < 0) {
                undoFailed += " \"" + step.Target + "\"";
                continue;
            }
            const char* name = step.Parts.back().c_str();
            bool ok = true;
            if (step.BackedUp || step.MovedAside)
                ok = ::renameat(stage.fd(), step.Backup.c_str(), parent.v, name) == 0;
            else if (step.Placed)
                ok = ::unlinkat(parent.v, name, 0) == 0;
            if (!ok)
                undoFailed += " \"" + step.Target + "\" (" + std::strerror(errno) + ")";
        }
        for (size_t i = made.size(); i-- > 0;) {
            std::vector<std::string> parts = Split(made[i]);
            try {
                Fd parent = WalkToParent(fd_, parts, false, nullptr);
                if (parent.v >= 0 && ::unlinkat(parent.v, parts.back().c_str(), AT_REMOVEDIR) != 0)
                    undoFailed += " \"" + made[i] + "\" (" + std::strerror(errno) + ")";
            } catch (const Failure&) {
                undoFailed += " \"" + made[i] + "\"";
            }
        }
        if (!undoFailed.empty())
            throw Failure{f.Message + "; undoing the install failed for" + undoFailed +
                          "; the old files are kept in \"" + stage.Keep() + "\""};
        throw Failure{f.Message + "; nothing was installed"};
    }
    installed_ = true;
    return result;
}

} // namespace cabloader
