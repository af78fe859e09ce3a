#include "formats/ceheader.h"

#include <cctype>

#include "formats/cecab.h"
#include "model/error.h"

namespace tessaro::formats {

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

class Header {
  public:
    explicit Header(std::string data) : d_(std::move(data)) {
        if (d_.size() < cecab::kFixedSize || d_.compare(0, 4, "MSCE") != 0)
            throw Error("the installer header is not valid (no \"MSCE\")");
        if (cecab::GetU32(d_, cecab::kOffLength) > d_.size())
            throw Error("the installer header is cut short");
    }
    std::uint16_t U16(size_t at) const {
        Need(at, 2);
        return cecab::GetU16(d_, at);
    }
    std::uint32_t U32(size_t at) const {
        Need(at, 4);
        return cecab::GetU32(d_, at);
    }
    // Text of `len` bytes at `at`, without its NUL.
    std::string Text(size_t at, size_t len) const {
        Need(at, len);
        std::string s = d_.substr(at, len);
        if (!s.empty() && s.back() == '\0')
            s.pop_back();
        return s;
    }
    std::string Bytes(size_t at, size_t len) const {
        Need(at, len);
        return d_.substr(at, len);
    }
    std::uint16_t Count(int section) const { return U16(cecab::kOffCounts + 2 * section); }
    std::uint32_t Offset(int section) const { return U32(cecab::kOffSections + 4 * section); }

  private:
    void Need(size_t at, size_t len) const {
        if (at > d_.size() || len > d_.size() - at)
            throw Error("the installer header is not valid (a record runs past its end)");
    }
    std::string d_;
};

std::string ReadIdPath(const Header& h, size_t& at,
                       const std::map<std::uint16_t, std::string>& strings) {
    std::uint16_t len = h.U16(at);
    at += 2;
    std::string path;
    size_t end = at + len;
    for (; at + 2 <= end; at += 2) {
        std::uint16_t id = h.U16(at);
        if (id == 0)
            continue;
        auto it = strings.find(id);
        if (it == strings.end())
            throw Error("the installer header names a missing string " + std::to_string(id));
        if (!path.empty())
            path += '\\';
        path += it->second;
    }
    at = end;
    return path;
}

} // namespace

std::string MacroFolder(const std::string& macro, const std::string& appName) {
    static const std::map<std::string, std::string> kFolders = {
        {"ce1", "\\Program Files"},
        {"ce2", "\\Windows"},
        {"ce3", "\\Windows\\Desktop"},
        {"ce4", "\\Windows\\StartUp"},
        {"ce5", "\\My Documents"},
        {"ce6", "\\Program Files\\Accessories"},
        {"ce7", "\\Program Files\\Communication"},
        {"ce8", "\\Program Files\\Games"},
        {"ce9", "\\Program Files\\Pocket Outlook"},
        {"ce10", "\\Program Files\\Office"},
        {"ce11", "\\Windows\\Programs"},
        {"ce12", "\\Windows\\Programs\\Accessories"},
        {"ce13", "\\Windows\\Programs\\Communications"},
        {"ce14", "\\Windows\\Programs\\Games"},
        {"ce15", "\\Windows\\Fonts"},
        {"ce16", "\\Windows\\Recent"},
        {"ce17", "\\Windows\\Favorites"},
        {"ce19", "\\IPSM\\Application Data"},
    };
    std::string m = Lower(macro);
    if (m == "installdir")
        return "\\Program Files\\" + appName;
    auto it = kFolders.find(m);
    if (it == kFolders.end())
        throw Error("unknown folder macro %" + macro + "%");
    return it->second;
}

std::string ExpandMacros(const std::string& text, const std::string& appName) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        size_t start = text.find('%', i);
        if (start == std::string::npos)
            break;
        size_t end = text.find('%', start + 1);
        if (end == std::string::npos)
            break;
        out += text.substr(i, start - i);
        out += MacroFolder(text.substr(start + 1, end - start - 1), appName);
        i = end + 1;
    }
    return out + text.substr(i);
}

std::string BelowDevice(const std::string& devicePath) {
    std::string out;
    std::string part;
    auto flush = [&] {
        if (part.empty() || part == ".") {
            part.clear();
            return;
        }
        if (part == "..")
            throw Error("refusing the destination \"" + devicePath + "\": it leaves the device folder");
        if (part.find('\0') != std::string::npos)
            throw Error("bad destination \"" + devicePath + "\"");
        if (!out.empty())
            out += '/';
        out += part;
        part.clear();
    };
    for (char c : devicePath) {
        if (c == '\\' || c == '/')
            flush();
        else
            part += c;
    }
    flush();
    if (out.empty())
        throw Error("empty destination \"" + devicePath + "\"");
    if (out.size() >= 2 && out[1] == ':')
        throw Error("refusing the destination \"" + devicePath + "\": a drive path");
    return out;
}

CeInstall ReadCeHeader(const std::string& data, const std::map<int, std::string>& filesById) {
    Header h(data);
    CeInstall in;
    in.AppName = h.Text(h.U16(cecab::kOffAppName), h.U16(cecab::kOffAppName + 2));
    in.Provider = h.Text(h.U16(cecab::kOffProvider), h.U16(cecab::kOffProvider + 2));

    std::map<std::uint16_t, std::string> strings;
    size_t at = h.Offset(cecab::kStrings);
    for (int i = 0; i < h.Count(cecab::kStrings); ++i) {
        std::uint16_t id = h.U16(at), len = h.U16(at + 2);
        strings[id] = h.Text(at + 4, len);
        at += 4 + len;
    }
    std::map<std::uint16_t, std::string> dirs;
    at = h.Offset(cecab::kDirs);
    for (int i = 0; i < h.Count(cecab::kDirs); ++i) {
        std::uint16_t id = h.U16(at);
        at += 2;
        dirs[id] = ExpandMacros(ReadIdPath(h, at, strings), in.AppName);
    }
    at = h.Offset(cecab::kFiles);
    for (int i = 0; i < h.Count(cecab::kFiles); ++i) {
        std::uint16_t id = h.U16(at), dir = h.U16(at + 2);
        std::uint32_t flags = h.U32(at + 6);
        std::uint16_t len = h.U16(at + 10);
        std::string name = h.Text(at + 12, len);
        at += 12 + len;
        if (name.empty() || name == "." || name == ".." ||
            name.find_first_of("\\/") != std::string::npos)
            throw Error("refusing the file name \"" + name + "\"");
        auto d = dirs.find(dir);
        if (d == dirs.end())
            throw Error("the file \"" + name + "\" names a missing folder");
        auto src = filesById.find(id);
        if (src == filesById.end())
            throw Error("the cabinet does not hold file " + std::to_string(id) + " (\"" + name + "\")");
        CeInstall::File f;
        f.Source = src->second;
        f.Name = name;
        f.DevicePath = d->second + "\\" + name;
        f.Target = BelowDevice(f.DevicePath);
        f.Flags = flags;
        in.Files.push_back(f);
    }
    std::map<std::uint16_t, std::string> hives;
    at = h.Offset(cecab::kHives);
    for (int i = 0; i < h.Count(cecab::kHives); ++i) {
        std::uint16_t id = h.U16(at), root = h.U16(at + 2);
        at += 6;
        static const char* kRoots[] = {"", "HKCR", "HKCU", "HKLM", "HKU"};
        if (root < 1 || root > 4)
            throw Error("unknown registry root " + std::to_string(root));
        hives[id] = std::string(kRoots[root]) + "\\" + ReadIdPath(h, at, strings);
    }
    at = h.Offset(cecab::kKeys);
    for (int i = 0; i < h.Count(cecab::kKeys); ++i) {
        std::uint16_t hive = h.U16(at + 2), substitute = h.U16(at + 4);
        std::uint32_t type = h.U32(at + 6);
        std::uint16_t len = h.U16(at + 10);
        std::string blob = h.Bytes(at + 12, len);
        at += 12 + len;
        size_t nul = blob.find('\0');
        if (nul == std::string::npos)
            throw Error("a registry value has no name terminator");
        auto k = hives.find(hive);
        if (k == hives.end())
            throw Error("a registry value names a missing key");
        std::string name = blob.substr(0, nul);
        in.Values.push_back({k->second + "\\" + (name.empty() ? "@" : name), type, blob.substr(nul + 1),
                             substitute != 0});
    }
    return in;
}

std::string StringValue(const CeInstall::Value& v, const std::string& appName) {
    std::string s = v.Data.substr(0, v.Data.find('\0'));
    return v.Substitute ? ExpandMacros(s, appName) : s;
}

} // namespace tessaro::formats
