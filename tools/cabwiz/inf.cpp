#include "inf.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <map>
#include <set>
#include <sys/stat.h>

#include "cecab.h"
#include "toolsupport.h"

namespace cabwiz {

namespace {

struct Line {
    int Number = 0;
    std::string Text; // comment removed, trimmed
};

struct Section {
    std::string Name; // as written
    int Number = 0;   // line of the section name
    std::vector<Line> Lines;
    bool Used = false;
};

using cabtool::Lower;

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return "";
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

[[noreturn]] void Fail(int line, const std::string& message) {
    if (line > 0)
        throw InfError("line " + std::to_string(line) + ": " + message);
    throw InfError(message);
}

// Removes a ';' comment outside quotes; reports an unclosed quote.
std::string StripComment(const std::string& text, int number) {
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == ';' && !quoted)
            return text.substr(0, i);
    }
    if (quoted)
        Fail(number, "unclosed quote");
    return text;
}

// Position of the first '=' outside quotes, or npos.
size_t FindEquals(const std::string& text) {
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == '=' && !quoted)
            return i;
    }
    return std::string::npos;
}

// Removes the quotes of a field; "" inside quotes stands for one quote.
std::string Unquote(const std::string& s) {
    std::string out;
    bool quoted = false;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '"') {
            out += s[i];
        } else if (quoted && i + 1 < s.size() && s[i + 1] == '"') {
            out += '"';
            ++i;
        } else {
            quoted = !quoted;
        }
    }
    return out;
}

// Splits at commas outside quotes; each field is trimmed and unquoted.
std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false;
    for (char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (c == ',' && !quoted) {
            out.push_back(Unquote(Trim(cur)));
            cur.clear();
            continue;
        }
        cur += c;
    }
    out.push_back(Unquote(Trim(cur)));
    return out;
}

bool ParseNumber(const std::string& text, std::uint64_t& value) {
    std::string t = Trim(text);
    if (t.empty())
        return false;
    int base = 10;
    size_t i = 0;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        base = 16;
        i = 2;
    }
    std::uint64_t v = 0;
    for (; i < t.size(); ++i) {
        int d;
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(t[i])));
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else
            return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFull)
            return false;
    }
    value = v;
    return true;
}

std::uint32_t Number(const std::string& text, int line, const char* what) {
    std::uint64_t v = 0;
    if (!ParseNumber(text, v))
        Fail(line, std::string("\"") + text + "\" is not a valid " + what);
    return static_cast<std::uint32_t>(v);
}

bool IsFolderMacro(const std::string& name) {
    std::string l = Lower(name);
    if (l == "installdir")
        return true;
    if (l.size() < 3 || l.compare(0, 2, "ce") != 0)
        return false;
    return std::all_of(l.begin() + 2, l.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The path of `name` in `dir`, matching the letter case loosely as the
// platform the INF comes from does; "" when there is no such file.
std::string FindFile(const std::string& dir, const std::string& name) {
    std::string exact = dir + name;
    if (FileExists(exact))
        return exact;
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos)
        return "";
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return "";
    std::string found;
    std::string want = Lower(name);
    while (dirent* e = ::readdir(d)) {
        if (Lower(e->d_name) == want && FileExists(dir + e->d_name)) {
            found = dir + e->d_name;
            break;
        }
    }
    ::closedir(d);
    return found;
}

class Reader {
  public:
    Reader(const std::string& text, const std::string& infDir) : infDir_(infDir) { Split(text); }

    Plan Read() {
        ReadVersion();
        ReadStrings();
        ReadDevice();
        ReadDisks();
        ReadDefaultInstall();
        for (auto& [key, sec] : sections_)
            if (!sec.Used)
                Fail(sec.Number, "unsupported or unused section [" + sec.Name + "]");
        if (plan_.Files.size() > 998)
            Fail(0, "too many files (at most 998)");
        return plan_;
    }

  private:
    void Split(const std::string& text) {
        Section* current = nullptr;
        int number = 0;
        size_t pos = 0;
        while (pos <= text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string::npos)
                end = text.size();
            std::string raw = text.substr(pos, end - pos);
            pos = end + 1;
            ++number;
            std::string t = Trim(StripComment(raw, number));
            if (t.empty())
                continue;
            if (t.front() == '[') {
                if (t.back() != ']')
                    Fail(number, "malformed section name \"" + t + "\"");
                std::string name = Trim(t.substr(1, t.size() - 2));
                if (name.empty())
                    Fail(number, "empty section name");
                auto key = Lower(name);
                if (sections_.count(key))
                    Fail(number, "section [" + name + "] appears twice");
                current = &sections_[key];
                current->Name = name;
                current->Number = number;
                continue;
            }
            if (!current)
                Fail(number, "text outside any section");
            current->Lines.push_back({number, t});
        }
    }

    Section* Find(const std::string& name) {
        auto it = sections_.find(Lower(name));
        if (it == sections_.end())
            return nullptr;
        it->second.Used = true;
        return &it->second;
    }

    // key = value lines of a section, keys compared without letter case.
    // A name listed again is allowed only where `repeats` says so.
    std::vector<std::pair<std::string, Line>> Pairs(Section& sec, bool repeats = false) {
        std::vector<std::pair<std::string, Line>> out;
        std::set<std::string> seen;
        for (const Line& l : sec.Lines) {
            size_t eq = FindEquals(l.Text);
            if (eq == std::string::npos)
                Fail(l.Number, "expected \"name = value\" in [" + sec.Name + "]");
            std::string key = Trim(l.Text.substr(0, eq));
            if (key.size() >= 2 && key.front() == '"' && key.back() == '"')
                key = key.substr(1, key.size() - 2);
            if (key.empty())
                Fail(l.Number, "missing name before \"=\"");
            if (!seen.insert(Lower(key)).second && !repeats)
                Fail(l.Number, "\"" + key + "\" appears twice in [" + sec.Name + "]");
            out.push_back({key, {l.Number, Trim(l.Text.substr(eq + 1))}});
        }
        return out;
    }

    std::string Single(const std::string& value, int line) {
        auto f = Fields(value);
        if (f.size() != 1)
            Fail(line, "expected one value, found \"" + value + "\"");
        return Substitute(f[0], line);
    }

    std::string Substitute(const std::string& text, int line) {
        std::string out;
        size_t i = 0;
        while (i < text.size()) {
            if (text[i] != '%') {
                out += text[i++];
                continue;
            }
            size_t end = text.find('%', i + 1);
            if (end == std::string::npos)
                Fail(line, "unclosed %name% in \"" + text + "\"");
            std::string name = text.substr(i + 1, end - i - 1);
            i = end + 1;
            if (name.empty()) {
                out += '%';
                continue;
            }
            auto it = strings_.find(Lower(name));
            if (it != strings_.end())
                out += it->second;
            else if (IsFolderMacro(name))
                out += "%" + name + "%";
            else
                Fail(line, "unknown string %" + name + "%");
        }
        return out;
    }

    void ReadVersion() {
        Section* sec = Find("Version");
        if (!sec)
            Fail(0, "missing section [Version]");
        bool signature = false, ceSignature = false;
        for (auto& [key, l] : Pairs(*sec)) {
            std::string k = Lower(key);
            std::string v = Fields(l.Text)[0];
            if (k == "signature") {
                std::string s = Lower(v);
                if (s != "$windows nt$" && s != "$chicago$")
                    Fail(l.Number, "unknown Signature \"" + v + "\"");
                signature = true;
            } else if (k == "cesignature") {
                if (Lower(v) != "$windows ce$")
                    Fail(l.Number, "unknown CESignature \"" + v + "\"");
                ceSignature = true;
            } else if (k == "provider") {
                plan_.Provider = v; // strings are not known yet; substituted below
                providerLine_ = l.Number;
            } else {
                Fail(l.Number, "unsupported key \"" + key + "\" in [Version]");
            }
        }
        if (!signature)
            Fail(0, "[Version] has no Signature");
        if (!ceSignature)
            Fail(0, "[Version] has no CESignature");
    }

    void ReadStrings() {
        Section* strings = Find("Strings");
        if (strings)
            for (auto& [key, l] : Pairs(*strings))
                strings_[Lower(key)] = Single(l.Text, l.Number);
        Section* ce = Find("CEStrings");
        if (!ce)
            Fail(0, "missing section [CEStrings]");
        for (auto& [key, l] : Pairs(*ce)) {
            std::string k = Lower(key);
            if (k != "appname" && k != "installdir")
                Fail(l.Number, "unsupported key \"" + key + "\" in [CEStrings]");
            strings_[k] = Single(l.Text, l.Number);
        }
        if (!strings_.count("appname") || strings_["appname"].empty())
            Fail(0, "[CEStrings] has no AppName");
        plan_.AppName = strings_["appname"];
        plan_.Provider = Substitute(plan_.Provider, providerLine_);
    }

    void ReadDevice() {
        static const std::map<std::string, std::uint32_t> kCpus = {
            {"arm720", 1824}, {"strongarm", 2577}, {"arm", 2577},  {"armv4", 2577},
            {"mips", 4000},   {"sh3", 10003},      {"sh4", 10005}, {"x86", 386}};
        std::vector<Section*> devices;
        bool specific = false;
        for (auto& [key, sec] : sections_) {
            if (key == "cedevice")
                devices.push_back(&sec);
            else if (key.rfind("cedevice.", 0) == 0) {
                if (specific)
                    Fail(sec.Number, "more than one [CEDevice.*] section");
                specific = true;
                auto cpu = kCpus.find(key.substr(9));
                if (cpu == kCpus.end())
                    Fail(sec.Number, "unknown processor in [" + sec.Name + "]");
                plan_.Architecture = cpu->second;
                devices.push_back(&sec);
            }
        }
        for (Section* sec : devices) {
            sec->Used = true;
            for (auto& [key, l] : Pairs(*sec)) {
                std::string k = Lower(key);
                std::string v = Single(l.Text, l.Number);
                if (k == "processortype")
                    plan_.Architecture = Number(v, l.Number, "processor type");
                else if (k == "versionmin" || k == "versionmax") {
                    auto dot = v.find('.');
                    std::uint32_t* target = k == "versionmin" ? plan_.VersionMin : plan_.VersionMax;
                    target[0] = Number(v.substr(0, dot), l.Number, "version");
                    target[1] = dot == std::string::npos
                                    ? 0
                                    : Number(v.substr(dot + 1), l.Number, "version");
                } else if (k == "buildmin")
                    plan_.BuildMin = Number(v, l.Number, "build number");
                else if (k == "buildmax")
                    plan_.BuildMax = Number(v, l.Number, "build number");
                else
                    Fail(l.Number, "unsupported key \"" + key + "\" in [" + sec->Name + "]");
            }
        }
    }

    void ReadDisks() {
        Section* names = Find("SourceDisksNames");
        if (names) {
            for (auto& [key, l] : Pairs(*names)) {
                auto f = Fields(l.Text);
                std::string path = f.size() >= 4 ? Substitute(f[3], l.Number) : "";
                for (char& c : path)
                    if (c == '\\')
                        c = '/';
                if (path.empty() || path == ".")
                    path = "";
                else if (path.back() != '/')
                    path += '/';
                disks_[Number(key, l.Number, "disk number")] = path;
            }
        }
        Section* files = Find("SourceDisksFiles");
        if (files) {
            // A file listed twice (the same picture used twice) is fine as
            // long as both lines agree.
            for (auto& [key, l] : Pairs(*files, true)) {
                auto f = Fields(l.Text);
                if (f.empty())
                    Fail(l.Number, "missing disk number for \"" + key + "\"");
                std::uint32_t disk = Number(f[0], l.Number, "disk number");
                auto d = disks_.find(disk);
                if (d == disks_.end())
                    Fail(l.Number, "disk " + f[0] + " is not in [SourceDisksNames]");
                std::string sub = f.size() >= 2 ? f[1] : "";
                for (char& c : sub)
                    if (c == '\\')
                        c = '/';
                if (!sub.empty() && sub.back() != '/')
                    sub += '/';
                std::string name = Lower(Substitute(key, l.Number));
                auto known = sourceFiles_.find(name);
                if (known != sourceFiles_.end() && known->second != d->second + sub)
                    Fail(l.Number, "\"" + key + "\" is listed again with another folder");
                sourceFiles_[name] = d->second + sub;
            }
        }
    }

    void ReadDefaultInstall() {
        Section* sec = Find("DefaultInstall");
        if (!sec)
            Fail(0, "missing section [DefaultInstall]");
        Section* dirs = Find("DestinationDirs");
        if (dirs) {
            for (auto& [key, l] : Pairs(*dirs)) {
                auto f = Fields(l.Text);
                if (f.size() != 2 || Trim(f[0]) != "0")
                    Fail(l.Number,
                         "expected \"0,folder\" for \"" + key + "\" in [DestinationDirs]");
                std::string dir = Substitute(f[1], l.Number);
                while (!dir.empty() && dir.back() == '\\')
                    dir.pop_back();
                if (dir.empty())
                    Fail(l.Number, "empty destination folder for \"" + key + "\"");
                destDirs_[Lower(key)] = dir;
            }
        }
        for (auto& [key, l] : Pairs(*sec)) {
            std::string k = Lower(key);
            if (k != "copyfiles" && k != "addreg")
                Fail(l.Number, "unsupported key \"" + key + "\" in [DefaultInstall]");
            for (const std::string& name : Fields(l.Text)) {
                if (name.empty())
                    continue;
                if (name[0] == '@')
                    Fail(l.Number, "single-file CopyFiles entries are not supported");
                Section* list = Find(name);
                if (!list)
                    Fail(l.Number, "section [" + name + "] is missing");
                if (k == "copyfiles")
                    ReadCopyFiles(*list);
                else
                    ReadAddReg(*list);
            }
        }
    }

    // Whether a file `name` sent to `dir` lands on the device's registry file
    // (the root's "registry.txt") or inside a folder of that name.
    static bool TakesRegistryFile(const std::string& dir, const std::string& name) {
        std::vector<std::string> parts;
        std::string part;
        for (char c : dir + "\\") {
            if (c != '\\' && c != '/') {
                part += c;
                continue;
            }
            if (!part.empty() && part != ".")
                parts.push_back(part);
            part.clear();
        }
        const std::string first = Lower(parts.empty() ? name : parts[0]);
        return first == "registry.txt";
    }

    void ReadCopyFiles(Section& sec) {
        auto dir = destDirs_.find(Lower(sec.Name));
        if (dir == destDirs_.end())
            dir = destDirs_.find("defaultdestdir");
        if (dir == destDirs_.end())
            Fail(0, "no destination folder for [" + sec.Name + "] in [DestinationDirs]");
        for (const Line& l : sec.Lines) {
            auto f = Fields(l.Text);
            if (f.empty() || f.size() > 4)
                Fail(l.Number, "malformed file line \"" + l.Text + "\"");
            PlannedFile file;
            file.DestName = Substitute(f[0], l.Number);
            std::string source =
                f.size() >= 2 && !f[1].empty() ? Substitute(f[1], l.Number) : file.DestName;
            if (file.DestName.empty())
                Fail(l.Number, "missing destination file name");
            if (file.DestName.find_first_of("\\/") != std::string::npos)
                Fail(l.Number, "destination file name \"" + file.DestName + "\" names a folder");
            if (f.size() == 4 && !f[3].empty())
                file.Flags = Number(f[3], l.Number, "file flag value");
            auto listed = sourceFiles_.find(Lower(source));
            if (listed == sourceFiles_.end())
                Fail(l.Number,
                     "source file \"" + source + "\" is not listed in [SourceDisksFiles]");
            std::string folder = infDir_ + listed->second;
            file.SourcePath = FindFile(folder, source);
            if (file.SourcePath.empty())
                Fail(l.Number, "source file \"" + folder + source + "\" not found");
            file.SourceName = source;
            file.DestDir = dir->second;
            if (TakesRegistryFile(file.DestDir, file.DestName))
                Fail(l.Number, "the destination \"" + file.DestDir + "\\" + file.DestName +
                                   "\" is the device's registry file, which no cabinet may "
                                   "replace");
            plan_.Files.push_back(file);
        }
    }

    void ReadAddReg(Section& sec) {
        for (const Line& l : sec.Lines) {
            auto f = Fields(l.Text);
            if (f.size() < 4)
                Fail(l.Number, "malformed registry line \"" + l.Text + "\"");
            for (auto& x : f)
                x = Substitute(x, l.Number);
            PlannedValue v;
            std::string root = Lower(f[0]);
            if (root == "hkcr")
                v.Root = cecab::kHKCR;
            else if (root == "hkcu")
                v.Root = cecab::kHKCU;
            else if (root == "hklm")
                v.Root = cecab::kHKLM;
            else if (root == "hku")
                v.Root = cecab::kHKU;
            else
                Fail(l.Number, "unknown registry root \"" + f[0] + "\"");
            v.Key = f[1];
            while (!v.Key.empty() && v.Key.back() == '\\')
                v.Key.pop_back();
            while (!v.Key.empty() && v.Key.front() == '\\')
                v.Key.erase(0, 1);
            if (v.Key.empty())
                Fail(l.Number, "missing registry key");
            v.Name = f[2];
            std::string type = Lower(f[3]);
            std::uint64_t numeric = 0;
            if (type == "string")
                v.Type = cecab::kTypeString;
            else if (type == "dword")
                v.Type = cecab::kTypeDword;
            else if (type == "multi_sz")
                v.Type = cecab::kTypeMultiSz;
            else if (type == "binary")
                v.Type = cecab::kTypeBinary;
            else if (ParseNumber(type, numeric) &&
                     ((numeric & ~cecab::kNoClobber) == cecab::kTypeString ||
                      (numeric & ~cecab::kNoClobber) == cecab::kTypeDword ||
                      (numeric & ~cecab::kNoClobber) == cecab::kTypeMultiSz ||
                      (numeric & ~cecab::kNoClobber) == cecab::kTypeBinary))
                v.Type = static_cast<std::uint32_t>(numeric);
            else
                Fail(l.Number, "unknown registry type \"" + f[3] + "\"");
            std::vector<std::string> data(f.begin() + 4, f.end());
            switch (v.Type & ~cecab::kNoClobber) {
            case cecab::kTypeString:
                if (data.size() > 1)
                    Fail(l.Number, "a string value takes one text");
                v.Data = (data.empty() ? std::string() : data[0]);
                v.Data += '\0';
                break;
            case cecab::kTypeDword: {
                if (data.size() != 1)
                    Fail(l.Number, "a dword value takes one number");
                std::uint32_t n = Number(data[0], l.Number, "dword value");
                cecab::PutU32(v.Data, n);
                break;
            }
            case cecab::kTypeMultiSz:
                for (const auto& s : data) {
                    v.Data += s;
                    v.Data += '\0';
                }
                v.Data += '\0';
                break;
            default:
                for (const auto& s : data) {
                    std::uint32_t b =
                        Number(s.rfind("0x", 0) == 0 ? s : "0x" + s, l.Number, "byte");
                    if (b > 0xFF || s.empty())
                        Fail(l.Number, "\"" + s + "\" is not a byte");
                    v.Data += static_cast<char>(b);
                }
                break;
            }
            std::string lowered = Lower(v.Data);
            v.Substitute = lowered.find("%ce") != std::string::npos ||
                           lowered.find("%installdir%") != std::string::npos;
            if (v.Name.size() + 1 + v.Data.size() > 0xFFFF)
                Fail(l.Number, "registry value too long");
            plan_.Values.push_back(v);
        }
    }

    std::string infDir_;
    std::map<std::string, Section> sections_;
    std::map<std::string, std::string> strings_;
    std::map<std::uint32_t, std::string> disks_;
    std::map<std::string, std::string> sourceFiles_;
    std::map<std::string, std::string> destDirs_;
    int providerLine_ = 0;
    Plan plan_;
};

// Collects strings once each and hands out their ids.
class StringTable {
  public:
    std::uint16_t Id(const std::string& s) {
        auto it = ids_.find(s);
        if (it != ids_.end())
            return it->second;
        auto id = static_cast<std::uint16_t>(list_.size() + 1);
        list_.push_back(s);
        ids_[s] = id;
        return id;
    }
    std::vector<std::uint16_t> Path(const std::string& path) {
        std::vector<std::uint16_t> ids;
        size_t pos = 0;
        while (pos <= path.size()) {
            size_t end = path.find('\\', pos);
            if (end == std::string::npos)
                end = path.size();
            std::string part = path.substr(pos, end - pos);
            if (!part.empty())
                ids.push_back(Id(part));
            pos = end + 1;
        }
        return ids;
    }
    const std::vector<std::string>& List() const { return list_; }

  private:
    std::map<std::string, std::uint16_t> ids_;
    std::vector<std::string> list_;
};

void PutIdList(std::string& out, const std::vector<std::uint16_t>& ids) {
    cecab::PutU16(out, static_cast<std::uint16_t>((ids.size() + 1) * 2));
    for (auto id : ids)
        cecab::PutU16(out, id);
    cecab::PutU16(out, 0);
}

} // namespace

Plan ReadInf(const std::string& text, const std::string& infDir) {
    return Reader(text, infDir).Read();
}

std::string CabinetName(const std::string& name, int id) {
    std::string base = name.substr(0, name.find('.'));
    base.erase(std::remove(base.begin(), base.end(), ' '), base.end());
    if (base.size() > 8)
        base.resize(8);
    if (base.size() < 8)
        base.insert(0, 8 - base.size(), '0');
    char ext[8];
    std::snprintf(ext, sizeof ext, ".%03d", id);
    return base + ext;
}

std::string BuildHeader(const Plan& plan) {
    StringTable strings;
    // Dirs in order of first use.
    std::vector<std::string> dirs;
    std::map<std::string, std::uint16_t> dirIds;
    std::vector<std::vector<std::uint16_t>> dirPaths;
    for (const auto& f : plan.Files) {
        if (dirIds.count(f.DestDir))
            continue;
        dirIds[f.DestDir] = static_cast<std::uint16_t>(dirs.size() + 1);
        dirs.push_back(f.DestDir);
        dirPaths.push_back(strings.Path(f.DestDir));
    }
    // Hives: one per root and key.
    std::vector<std::pair<std::uint16_t, std::vector<std::uint16_t>>> hives;
    std::map<std::pair<std::uint16_t, std::string>, std::uint16_t> hiveIds;
    for (const auto& v : plan.Values) {
        auto key = std::make_pair(v.Root, Lower(v.Key));
        if (hiveIds.count(key))
            continue;
        hiveIds[key] = static_cast<std::uint16_t>(hives.size() + 1);
        hives.push_back({v.Root, strings.Path(v.Key)});
    }

    std::string h(cecab::kFixedSize, '\0');
    std::memcpy(h.data(), "MSCE", 4);
    cecab::SetU32(h, 16, 1);
    cecab::SetU32(h, cecab::kOffArch, plan.Architecture);
    cecab::SetU32(h, 24, plan.VersionMin[0]);
    cecab::SetU32(h, 28, plan.VersionMin[1]);
    cecab::SetU32(h, 32, plan.VersionMax[0]);
    cecab::SetU32(h, 36, plan.VersionMax[1]);
    cecab::SetU32(h, 40, plan.BuildMin);
    cecab::SetU32(h, 44, plan.BuildMax);

    auto section = [&h](int which, std::size_t count) {
        cecab::SetU16(h, cecab::kOffCounts + 2 * which, static_cast<std::uint16_t>(count));
        cecab::SetU32(h, cecab::kOffSections + 4 * which, static_cast<std::uint32_t>(h.size()));
    };

    section(cecab::kStrings, strings.List().size());
    for (size_t i = 0; i < strings.List().size(); ++i) {
        const std::string& s = strings.List()[i];
        cecab::PutU16(h, static_cast<std::uint16_t>(i + 1));
        cecab::PutU16(h, static_cast<std::uint16_t>(s.size() + 1));
        h += s;
        h += '\0';
    }
    section(cecab::kDirs, dirs.size());
    for (size_t i = 0; i < dirs.size(); ++i) {
        cecab::PutU16(h, static_cast<std::uint16_t>(i + 1));
        PutIdList(h, dirPaths[i]);
    }
    section(cecab::kFiles, plan.Files.size());
    for (size_t i = 0; i < plan.Files.size(); ++i) {
        const auto& f = plan.Files[i];
        auto id = static_cast<std::uint16_t>(i + 1);
        cecab::PutU16(h, id);
        cecab::PutU16(h, dirIds[f.DestDir]);
        cecab::PutU16(h, id);
        cecab::PutU32(h, f.Flags);
        cecab::PutU16(h, static_cast<std::uint16_t>(f.DestName.size() + 1));
        h += f.DestName;
        h += '\0';
    }
    section(cecab::kHives, hives.size());
    for (size_t i = 0; i < hives.size(); ++i) {
        cecab::PutU16(h, static_cast<std::uint16_t>(i + 1));
        cecab::PutU16(h, hives[i].first);
        cecab::PutU16(h, 0);
        PutIdList(h, hives[i].second);
    }
    section(cecab::kKeys, plan.Values.size());
    for (size_t i = 0; i < plan.Values.size(); ++i) {
        const auto& v = plan.Values[i];
        cecab::PutU16(h, static_cast<std::uint16_t>(i + 1));
        cecab::PutU16(h, hiveIds[{v.Root, Lower(v.Key)}]);
        cecab::PutU16(h, v.Substitute ? 1 : 0);
        cecab::PutU32(h, v.Type);
        cecab::PutU16(h, static_cast<std::uint16_t>(v.Name.size() + 1 + v.Data.size()));
        h += v.Name;
        h += '\0';
        h += v.Data;
    }
    section(cecab::kLinks, 0);

    cecab::SetU16(h, cecab::kOffAppName, static_cast<std::uint16_t>(h.size()));
    cecab::SetU16(h, cecab::kOffAppName + 2, static_cast<std::uint16_t>(plan.AppName.size() + 1));
    h += plan.AppName;
    h += '\0';
    cecab::SetU16(h, cecab::kOffProvider, static_cast<std::uint16_t>(h.size()));
    cecab::SetU16(h, cecab::kOffProvider + 2, static_cast<std::uint16_t>(plan.Provider.size() + 1));
    h += plan.Provider;
    h += '\0';
    if (h.size() > 0xFFFF)
        throw InfError("the installer header is too large");
    cecab::SetU32(h, cecab::kOffLength, static_cast<std::uint32_t>(h.size()));
    return h;
}

} // namespace cabwiz
