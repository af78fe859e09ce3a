// CabLoader: installs a Windows CE cabinet into a folder that stands for the
// phone.
//
//   CabLoader CABINET
//
// The device folder is $TESSARO_DEVICE when set, otherwise
// $XDG_DATA_HOME/tessaro/device (~/.local/share/tessaro/device). The
// cabinet's installer header (".000") says where each file goes: folder
// macros such as %CE19% are resolved to the device's folders (\IPSM\Application
// Data ...), backslashes become '/', and the file is copied below the device
// folder. Registry values go to "registry.txt" in the device folder, one
// "ROOT\Key\Name = type:value" line each, sorted; a later install replaces an
// earlier value of the same key and name (see registry.h for the escaping).
// An install is all or nothing (devicefolder.h): nothing is installed unless
// the whole cabinet checks out, no link inside the device folder is
// followed, and a cabinet whose files add up to more than 64 MiB is refused
// before anything is unpacked. Problems go to stderr with exit status 1.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <libgcab.h>

#include "cecab.h"
#include "devicefolder.h"
#include "registry.h"
#include "toolsupport.h"

namespace {

using cabtool::Failure;
using cabtool::Lower;
using cabtool::Ref;
using cabtool::WithError;

// Text from the cabinet as it may be shown on a terminal: control
// characters in the registry file's escaped form.
std::string Printable(const std::string& text) {
    return cabloader::EscapeRegistryValue(text);
}

std::string DeviceFolder() {
    if (const char* d = std::getenv("TESSARO_DEVICE"); d && *d)
        return d;
    std::string base;
    if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x)
        base = x;
    else if (const char* h = std::getenv("HOME"); h && *h)
        base = std::string(h) + "/.local/share";
    else
        throw Failure{"no device folder: set TESSARO_DEVICE"};
    return base + "/tessaro/device";
}

// The device's folder for a %CEn% macro (without the percent signs).
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
        throw Failure{"unknown folder macro %" + macro + "%"};
    return it->second;
}

// Replaces every %CEn% / %InstallDir% in text.
std::string Expand(const std::string& text, const std::string& appName) {
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

// A device path ("\IPSM\Application Data\Home\x") as a path below the device
// folder; refuses anything that would leave it.
std::string BelowDevice(const std::string& devicePath) {
    std::string out;
    std::string part;
    auto flush = [&] {
        if (part.empty() || part == ".") {
            part.clear();
            return;
        }
        if (part == "..")
            throw Failure{"refusing the destination \"" + devicePath +
                          "\": it leaves the device folder"};
        if (part.find('\0') != std::string::npos)
            throw Failure{"bad destination \"" + devicePath + "\""};
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
        throw Failure{"empty destination \"" + devicePath + "\""};
    if (out.size() >= 2 && out[1] == ':')
        throw Failure{"refusing the destination \"" + devicePath + "\": a drive path"};
    return out;
}

class Header {
  public:
    explicit Header(std::string data) : d_(std::move(data)) {
        if (d_.size() < cecab::kFixedSize || d_.compare(0, 4, "MSCE") != 0)
            throw Failure{"the installer header is not valid (no \"MSCE\")"};
        if (cecab::GetU32(d_, cecab::kOffLength) > d_.size())
            throw Failure{"the installer header is cut short"};
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
            throw Failure{"the installer header is not valid (a record runs past its end)"};
    }
    std::string d_;
};

struct Install {
    std::string AppName, Provider;
    struct File {
        std::string Source;     // its name in the cabinet
        std::string DevicePath; // "\IPSM\Application Data\Home\x"
        std::string Target;     // path below the device folder
        std::uint32_t Flags = 0;
    };
    std::vector<File> Files;
    std::vector<std::pair<std::string, std::string>> Values; // "ROOT\Key\Name", "type:value"
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
            throw Failure{"the installer header names a missing string " + std::to_string(id)};
        if (!path.empty())
            path += '\\';
        path += it->second;
    }
    at = end;
    return path;
}

std::string Hex32(std::uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08x", v);
    return buf;
}

std::string FormatValue(std::uint32_t type, const std::string& data, bool substitute,
                        const std::string& app) {
    switch (type & ~cecab::kNoClobber) {
    case cecab::kTypeString: {
        std::string s = data.substr(0, data.find('\0'));
        return "string:" + (substitute ? Expand(s, app) : s);
    }
    case cecab::kTypeDword:
        if (data.size() < 4)
            throw Failure{"a dword registry value is cut short"};
        return "dword:" + Hex32(cecab::GetU32(data, 0));
    case cecab::kTypeMultiSz: {
        std::string out = "multi_sz:";
        size_t pos = 0;
        bool first = true;
        while (pos < data.size() && data[pos] != '\0') {
            size_t end = data.find('\0', pos);
            if (end == std::string::npos)
                end = data.size();
            std::string s = data.substr(pos, end - pos);
            if (substitute)
                s = Expand(s, app);
            out += (first ? "\"" : ",\"") + s + "\"";
            first = false;
            pos = end + 1;
        }
        return out;
    }
    case cecab::kTypeBinary: {
        std::string out = "binary:";
        char buf[4];
        for (size_t i = 0; i < data.size(); ++i) {
            std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(data[i]));
            if (i)
                out += ',';
            out += buf;
        }
        return out;
    }
    default:
        throw Failure{"unknown registry value type " + Hex32(type)};
    }
}

Install ReadHeader(const std::string& data, const std::map<int, std::string>& filesById) {
    Header h(data);
    Install in;
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
        dirs[id] = Expand(ReadIdPath(h, at, strings), in.AppName);
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
            throw Failure{"refusing the file name \"" + name + "\""};
        auto d = dirs.find(dir);
        if (d == dirs.end())
            throw Failure{"the file \"" + name + "\" names a missing folder"};
        auto src = filesById.find(id);
        if (src == filesById.end())
            throw Failure{"the cabinet does not hold file " + std::to_string(id) + " (\"" + name +
                          "\")"};
        Install::File f;
        f.Source = src->second;
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
            throw Failure{"unknown registry root " + std::to_string(root)};
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
            throw Failure{"a registry value has no name terminator"};
        auto k = hives.find(hive);
        if (k == hives.end())
            throw Failure{"a registry value names a missing key"};
        std::string name = blob.substr(0, nul);
        in.Values.push_back({k->second + "\\" + (name.empty() ? "@" : name),
                             FormatValue(type, blob.substr(nul + 1), substitute != 0, in.AppName)});
    }
    return in;
}

// The most a cabinet's files may add up to, uncompressed.
constexpr std::uint64_t kMaxInstallBytes = 64ull * 1024 * 1024;

// The cabinet's files by name, with their declared sizes; refuses a cabinet
// whose files add up to more than kMaxInstallBytes, before anything is
// unpacked.
std::vector<GCabFile*> ListFiles(GCabCabinet* cabinet, const std::string& cabPath) {
    std::vector<GCabFile*> files;
    std::uint64_t total = 0;
    GPtrArray* folders = gcab_cabinet_get_folders(cabinet);
    for (guint i = 0; folders && i < folders->len; ++i) {
        GSList* list =
            gcab_folder_get_files(static_cast<GCabFolder*>(g_ptr_array_index(folders, i)));
        for (GSList* l = list; l; l = l->next) {
            auto* file = static_cast<GCabFile*>(l->data);
            total += gcab_file_get_size(file);
            files.push_back(file);
        }
        g_slist_free(list);
    }
    if (total > kMaxInstallBytes)
        throw Failure{"\"" + cabPath + "\" holds " + std::to_string(total) +
                      " bytes of files, more than the " +
                      std::to_string(kMaxInstallBytes / (1024 * 1024)) +
                      " MiB a cabinet may install; nothing was installed"};
    return files;
}

std::string FileBytes(GCabFile* file) {
    GBytes* bytes = gcab_file_get_bytes(file);
    if (!bytes)
        throw Failure{std::string("cannot unpack \"") + gcab_file_get_name(file) + "\""};
    gsize size = 0;
    const char* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    if (size != gcab_file_get_size(file))
        throw Failure{std::string("\"") + gcab_file_get_name(file) +
                      "\" does not unpack to its stated size"};
    return std::string(data ? data : "", size);
}

void Run(const std::string& cabPath) {
    std::string device = DeviceFolder();
    while (device.size() > 1 && device.back() == '/')
        device.pop_back();

    GError* error = nullptr;
    Ref<GFile> file(g_file_new_for_path(cabPath.c_str()));
    Ref<GFileInputStream> stream(g_file_read(file.p, nullptr, &error));
    if (!stream.p)
        throw Failure{WithError("cannot open \"" + cabPath + "\"", error)};
    Ref<GCabCabinet> cabinet(gcab_cabinet_new());
    if (!gcab_cabinet_load(cabinet.p, G_INPUT_STREAM(stream.p), nullptr, &error))
        throw Failure{WithError("\"" + cabPath + "\" is not a cabinet", error)};
    const std::vector<GCabFile*> files = ListFiles(cabinet.p, cabPath);
    // Unpacked into memory (no path): nothing is written before every check.
    if (!gcab_cabinet_extract(cabinet.p, nullptr, nullptr, nullptr, nullptr, nullptr, &error))
        throw Failure{WithError("cannot unpack \"" + cabPath + "\"", error)};

    std::string headerName;
    std::map<int, std::string> byId;            // file id -> name in the cabinet
    std::map<std::string, std::string> content; // name in the cabinet -> bytes
    for (GCabFile* f : files) {
        const std::string name = gcab_file_get_name(f);
        size_t dot = name.find_last_of('.');
        if (dot == std::string::npos || name.size() - dot != 4)
            continue;
        std::string ext = name.substr(dot + 1);
        if (!std::all_of(ext.begin(), ext.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        int id = std::stoi(ext);
        if (id == 0) {
            if (!headerName.empty())
                throw Failure{"the cabinet holds two installer headers"};
            headerName = name;
        } else {
            byId[id] = name;
        }
        content[name] = FileBytes(f);
    }
    if (headerName.empty()) {
        bool provisioning = std::any_of(files.begin(), files.end(), [](GCabFile* f) {
            return std::string(gcab_file_get_name(f)) == "_setup.xml";
        });
        if (provisioning)
            throw Failure{
                "\"" + cabPath +
                "\" is a provisioning (_setup.xml) cabinet, which this loader does not install"};
        throw Failure{"\"" + cabPath + "\" has no installer header (.000 file)"};
    }
    Install in = ReadHeader(content[headerName], byId);

    std::vector<cabloader::Placement> placements;
    for (const auto& f : in.Files)
        placements.push_back(
            {f.Target, content[f.Source], (f.Flags & cecab::kFileNeverOverwrite) != 0});

    std::printf("Installing \"%s\" (%s) into %s\n", Printable(in.AppName).c_str(),
                Printable(in.Provider).c_str(), device.c_str());
    cabloader::DeviceFolder folder(device);
    const std::function<std::string(const std::string&)> registry = [&](const std::string& old) {
        return cabloader::MergeRegistry(old, in.Values);
    };
    cabloader::InstallResult done =
        folder.Install(placements, in.Values.empty() ? nullptr : &registry);
    for (size_t i = 0; i < in.Files.size(); ++i)
        std::printf("  %s %s\n", done.Kept[i] ? "kept    " : "file    ",
                    Printable(in.Files[i].DevicePath).c_str());
    for (const auto& [name, value] : in.Values)
        std::printf("  registry %s = %s\n", cabloader::EscapeRegistryName(name).c_str(),
                    cabloader::EscapeRegistryValue(value).c_str());
    std::printf("Installed into %s\n", device.c_str());
}
} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        size_t b = a.find_first_not_of(' ');
        if (b == std::string::npos)
            continue;
        args.push_back(a.substr(b)); // the designer's parameter text starts with a blank
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::puts("Usage: CabLoader CABINET\nInstalls CABINET into $TESSARO_DEVICE "
                  "(default: $XDG_DATA_HOME/tessaro/device).");
        return 0;
    }
    if (args.size() != 1) {
        std::fputs("Usage: CabLoader CABINET\n", stderr);
        return 2;
    }
    try {
        Run(args[0]);
        return 0;
    } catch (const Failure& f) {
        std::fflush(stdout);
        std::fprintf(stderr, "CabLoader: %s\n", f.Message.c_str());
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "CabLoader: %s\n", e.what());
    }
    return 1;
}
