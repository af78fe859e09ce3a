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
#include "formats/ceheader.h"
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

std::string Expand(const std::string& text, const std::string& appName) {
    return tessaro::formats::ExpandMacros(text, appName);
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

// The header as the loader installs it: the files, and the registry values
// as "type:value" texts.
struct Install {
    std::string AppName, Provider;
    std::vector<tessaro::formats::CeInstall::File> Files;
    std::vector<std::pair<std::string, std::string>> Values; // "ROOT\Key\Name", "type:value"
};

Install ReadHeader(const std::string& data, const std::map<int, std::string>& filesById) {
    tessaro::formats::CeInstall ce = tessaro::formats::ReadCeHeader(data, filesById);
    Install in{ce.AppName, ce.Provider, std::move(ce.Files), {}};
    for (const auto& v : ce.Values)
        in.Values.push_back({v.Key, FormatValue(v.Type, v.Data, v.Substitute, in.AppName)});
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
