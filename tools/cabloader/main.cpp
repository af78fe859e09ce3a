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
// earlier value of the same key and name. Nothing is installed unless the
// whole cabinet checks out; problems go to stderr with exit status 1.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <libgcab.h>

#include "cecab.h"
#include "formats/ceheader.h"
#include "toolsupport.h"

namespace {

using cabtool::Failure;
using cabtool::Lower;
using cabtool::ReadAll;
using cabtool::Ref;
using cabtool::WithError;

// Writes through a temporary file and a rename.
void WriteAtomic(const std::string& path, const std::string& data) {
    std::string temp = path + ".tmp-install";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            throw Failure{"cannot write \"" + temp + "\": " + std::strerror(errno)};
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        out.close();
        if (!out) {
            ::unlink(temp.c_str());
            throw Failure{"cannot write \"" + temp + "\""};
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        int e = errno;
        ::unlink(temp.c_str());
        throw Failure{"cannot write \"" + path + "\": " + std::strerror(e)};
    }
}

void MakeFolders(const std::string& path) {
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
        if (::mkdir(cur.c_str(), 0755) != 0 && errno != EEXIST)
            throw Failure{"cannot create the folder \"" + cur + "\": " + std::strerror(errno)};
    }
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

// Registry file: "ROOT\Key\Name = type:value" lines, sorted by the part left
// of " = " without regard to letter case; CR LF line ends.
void UpdateRegistry(const std::string& path,
                    const std::vector<std::pair<std::string, std::string>>& values) {
    std::map<std::string, std::pair<std::string, std::string>> lines;
    std::ifstream in(path, std::ios::binary);
    if (in) {
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            size_t eq = line.find(" = ");
            if (eq == std::string::npos)
                continue;
            lines[Lower(line.substr(0, eq))] = {line.substr(0, eq), line.substr(eq + 3)};
        }
    }
    for (const auto& [name, value] : values)
        lines[Lower(name)] = {name, value};
    std::string out;
    for (const auto& [key, line] : lines)
        out += line.first + " = " + line.second + "\r\n";
    WriteAtomic(path, out);
}

void RemoveTree(const std::string& dir) {
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..")
                ::unlink((dir + "/" + n).c_str());
        }
        ::closedir(d);
    }
    ::rmdir(dir.c_str());
}

struct ExtractNames {
    int Next = 0;
    std::map<std::string, std::string> ByName; // name in the cabinet -> extracted name
};

gboolean NameFile(GCabFile* file, gpointer data) {
    auto* names = static_cast<ExtractNames*>(data);
    std::string safe = "f" + std::to_string(names->Next++);
    names->ByName[gcab_file_get_name(file)] = safe;
    gcab_file_set_extract_name(file, safe.c_str());
    return TRUE;
}

void Run(const std::string& cabPath) {
    std::string device = DeviceFolder();
    while (device.size() > 1 && device.back() == '/')
        device.pop_back();

    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/cabloader-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data()))
        throw Failure{std::string("cannot create a work folder: ") + std::strerror(errno)};
    std::string work = buf.data();
    struct Cleanup {
        std::string Dir;
        ~Cleanup() { RemoveTree(Dir); }
    } cleanup{work};

    GError* error = nullptr;
    Ref<GFile> file(g_file_new_for_path(cabPath.c_str()));
    Ref<GFileInputStream> stream(g_file_read(file.p, nullptr, &error));
    if (!stream.p)
        throw Failure{WithError("cannot open \"" + cabPath + "\"", error)};
    Ref<GCabCabinet> cabinet(gcab_cabinet_new());
    if (!gcab_cabinet_load(cabinet.p, G_INPUT_STREAM(stream.p), nullptr, &error))
        throw Failure{WithError("\"" + cabPath + "\" is not a cabinet", error)};
    ExtractNames names;
    Ref<GFile> workDir(g_file_new_for_path(work.c_str()));
    if (!gcab_cabinet_extract_simple(cabinet.p, workDir.p, NameFile, &names, nullptr, &error))
        throw Failure{WithError("cannot unpack \"" + cabPath + "\"", error)};

    std::string headerName;
    std::map<int, std::string> byId;
    for (const auto& [name, extracted] : names.ByName) {
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
            headerName = extracted;
        } else {
            byId[id] = work + "/" + extracted;
        }
    }
    if (headerName.empty()) {
        if (names.ByName.count("_setup.xml"))
            throw Failure{
                "\"" + cabPath +
                "\" is a provisioning (_setup.xml) cabinet, which this loader does not install"};
        throw Failure{"\"" + cabPath + "\" has no installer header (.000 file)"};
    }
    Install in = ReadHeader(ReadAll(work + "/" + headerName), byId);

    std::printf("Installing \"%s\" (%s) into %s\n", in.AppName.c_str(), in.Provider.c_str(),
                device.c_str());
    MakeFolders(device);
    for (const auto& f : in.Files) {
        std::string target = device + "/" + f.Target;
        MakeFolders(target.substr(0, target.find_last_of('/')));
        struct stat st {};
        if ((f.Flags & cecab::kFileNeverOverwrite) && ::stat(target.c_str(), &st) == 0) {
            std::printf("  kept     %s\n", f.DevicePath.c_str());
            continue;
        }
        WriteAtomic(target, ReadAll(f.Source));
        std::printf("  file     %s\n", f.DevicePath.c_str());
    }
    if (!in.Values.empty()) {
        UpdateRegistry(device + "/registry.txt", in.Values);
        for (const auto& [name, value] : in.Values)
            std::printf("  registry %s = %s\n", name.c_str(), value.c_str());
    }
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
