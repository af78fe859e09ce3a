#include "platform/programfolder.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <system_error>

#include "model/error.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace tessaro::platform {

namespace {

const char* const kVersionStamp = ".tessaro-version";
const char* const kShippedStamp = ".tessaro-shipped";
const char* const kDeviceFolder = "device";

std::string Env(const EnvironmentReader& env, const std::string& name) {
    if (env) return env(name);
    const char* v = std::getenv(name.c_str());
    return v ? std::string(v) : std::string();
}

std::string AsFolder(const fs::path& p) {
    std::string s = p.lexically_normal().string();
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

bool HoldsFile(const std::string& dir, const char* name) { return FileExists(dir + name); }

bool Writable(const std::string& dir) { return ::access(dir.c_str(), W_OK) == 0; }

std::string Checksum(const std::string& data) {
    std::uint64_t h = 14695981039346656037ull; // FNV-1a, 64 bits
    for (unsigned char c : data) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

// ".tessaro-shipped": one line per file, "CHECKSUM relative/path".
std::map<std::string, std::string> ReadShippedStamp(const std::string& path) {
    std::map<std::string, std::string> sums;
    if (!FileExists(path)) return sums;
    const std::string text = ReadFile(path);
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.size() > 17 && line[16] == ' ') sums[line.substr(17)] = line.substr(0, 16);
    }
    return sums;
}

std::string ReadVersionStamp(const std::string& path) {
    if (!FileExists(path)) return {};
    std::string v = ReadFile(path);
    while (!v.empty() && (v.back() == '\n' || v.back() == '\r')) v.pop_back();
    return v;
}

void MakeFolders(const std::string& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec))
        throw Error("Cannot create the folder \"" + dir + "\"" +
                    (ec ? ": " + ec.message() + "." : "."));
}

// The shipped files, relative to `shipped`, without the device folder and the
// stamps.
std::vector<std::string> ShippedFiles(const std::string& shipped) {
    std::vector<std::string> files;
    std::error_code ec;
    fs::recursive_directory_iterator it(shipped, ec), end;
    if (ec) throw Error("Cannot read the folder \"" + shipped + "\": " + ec.message() + ".");
    for (; it != end; it.increment(ec)) {
        if (ec) throw Error("Cannot read the folder \"" + shipped + "\": " + ec.message() + ".");
        const fs::path rel = it->path().lexically_relative(shipped);
        const std::string first = rel.begin()->string();
        if (first == kDeviceFolder || first.rfind(".tessaro-", 0) == 0) {
            if (it->is_directory(ec)) it.disable_recursion_pending();
            continue;
        }
        // Programs stay where they are (a read-only program folder holds
        // them beside its support files).
        if (it->is_regular_file(ec) &&
            (it->status(ec).permissions() & (fs::perms::owner_exec | fs::perms::group_exec |
                                             fs::perms::others_exec)) == fs::perms::none)
            files.push_back(rel.generic_string());
    }
    return files;
}

} // namespace

std::string UserWorkFolder(const EnvironmentReader& env) {
    std::string base = Env(env, "XDG_DATA_HOME");
    if (base.empty()) {
        const std::string home = Env(env, "HOME");
        if (home.empty())
            throw Error("Cannot find a folder for your work files: neither XDG_DATA_HOME nor HOME is set.");
        base = home + "/.local/share";
    }
    std::error_code ec;
    fs::path abs = fs::absolute(fs::path(base) / "tessaro", ec);
    if (ec) abs = fs::path(base) / "tessaro";
    return AsFolder(abs);
}

ProgramFolders LocateProgramFolders(const std::string& exeDir, const std::string& appDirOverride,
                                    const InstallLayout& layout, const EnvironmentReader& env) {
    const std::string exe = AsFolder(exeDir);
    ProgramFolders f;
    const bool buildTree = HoldsFile(exe, "Default") && HoldsFile(exe, "Cabwizsp");
    const std::string installedShipped = AsFolder(fs::path(exe) / layout.Shipped);
    const bool installed = !buildTree && HoldsFile(installedShipped, "Default");
    const std::string helpers = installed ? AsFolder(fs::path(exe) / layout.Helpers) : exe;

    if (!appDirOverride.empty()) {
        f.Work = AsFolder(appDirOverride);
        f.Helpers = HoldsFile(f.Work, "Cabwizsp") || HoldsFile(f.Work, "CabLoader") ? f.Work : helpers;
        return f;
    }
    f.Helpers = helpers;
    if (installed) {
        f.Work = UserWorkFolder(env);
        f.Shipped = installedShipped;
        // Installed into the user's own prefix (~/.local): the shipped folder
        // is the work folder, used as it is.
        std::error_code ec;
        if (f.Work == f.Shipped || fs::equivalent(f.Work, f.Shipped, ec)) {
            f.Work = f.Shipped;
            f.Shipped.clear();
        }
    } else if (buildTree && !Writable(exe)) {
        f.Work = UserWorkFolder(env);
        f.Shipped = exe;
    } else {
        f.Work = exe;
    }
    return f;
}

SeedReport SeedWorkFolder(const std::string& shippedDir, const std::string& workDir,
                          const std::string& version) {
    const std::string shipped = AsFolder(shippedDir);
    const std::string work = AsFolder(workDir);
    MakeFolders(work);
    std::error_code same;
    if (fs::equivalent(shipped, work, same))
        throw Error("The work folder \"" + work + "\" is the folder of the installed support files; " +
                    "set XDG_DATA_HOME to a folder of your own.");

    SeedReport report;
    const std::string stamped = ReadVersionStamp(work + kVersionStamp);
    report.FirstStart = stamped.empty();
    report.VersionChanged = !report.FirstStart && stamped != version;
    const bool fullCheck = stamped != version;

    std::map<std::string, std::string> sums = ReadShippedStamp(work + kShippedStamp);
    bool sumsChanged = false;
    for (const std::string& rel : ShippedFiles(shipped)) {
        const std::string target = work + rel;
        const bool present = FileExists(target);
        if (present && !fullCheck) continue;

        const std::string data = ReadFile(shipped + rel);
        const std::string newSum = Checksum(data);
        if (present) {
            const std::string oldSum = Checksum(ReadFile(target));
            if (oldSum == newSum) {
                if (sums[rel] != newSum) {
                    sums[rel] = newSum;
                    sumsChanged = true;
                }
                continue;
            }
            auto known = sums.find(rel);
            if (known == sums.end() || known->second != oldSum) {
                // Changed since we copied it, or not ours at all: the user's.
                report.Kept.push_back(rel);
                continue;
            }
        }
        MakeFolders(FolderPart(target));
        WriteFileAtomic(target, data);
        sums[rel] = newSum;
        sumsChanged = true;
        report.Copied.push_back(rel);
    }

    if (sumsChanged || !FileExists(work + kShippedStamp)) {
        std::string text;
        for (const auto& [rel, sum] : sums) text += sum + " " + rel + "\n";
        WriteFileAtomic(work + kShippedStamp, text);
    }
    if (fullCheck) WriteFileAtomic(work + kVersionStamp, version + "\n");
    return report;
}

ProgramFolders PrepareProgramFolders(const std::string& exeDir, const std::string& appDirOverride,
                                     const std::string& version, const InstallLayout& layout,
                                     const EnvironmentReader& env) {
    ProgramFolders f = LocateProgramFolders(exeDir, appDirOverride, layout, env);
    if (!f.Shipped.empty()) f.Kept = SeedWorkFolder(f.Shipped, f.Work, version).Kept;
    return f;
}

std::string KeptFilesNote(const ProgramFolders& folders) {
    if (folders.Kept.empty()) return {};
    std::string names;
    for (const std::string& rel : folders.Kept) names += (names.empty() ? "" : ", ") + rel;
    const bool one = folders.Kept.size() == 1;
    return std::string(one ? "Your changed copy of " : "Your changed copies of ") + names + " in \"" +
           folders.Work + (one ? "\" was kept" : "\" were kept") +
           "; the files of the installed version are in \"" + folders.Shipped + "\".";
}

} // namespace tessaro::platform
