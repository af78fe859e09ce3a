#pragma once
// Shared helpers of the cabinet tests: scratch folders, a program folder with
// the real builder and loader, small documents and a parser for the
// installer header that is independent of the builder's own code.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "support/test_util.h"
#include "model/document.h"
#include "platform/process.h"

namespace cabtest {

namespace fs = std::filesystem;

using tessaro::testsupport::Slurp;

inline void Spit(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
}

inline bool Exists(const std::string& path) {
    return fs::exists(path);
}

// A scratch folder removed at the end; the name may carry blanks.
struct TempDir {
    std::string Path; // ends in '/'
    explicit TempDir(const std::string& stem = "tessaro-cab-") {
        std::string tmpl = (fs::temp_directory_path() / (stem + "XXXXXX")).string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        Path = std::string(::mkdtemp(buf.data())) + "/";
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
};

inline void Executable(const std::string& path, const std::string& script) {
    Spit(path, script);
    ::chmod(path.c_str(), 0755);
}

// A program folder holding copies of the real builder and loader (each may
// be left out) and the "Default" colour scheme.
inline void SetUpProgramFolder(const std::string& dir, bool builder = true, bool loader = true) {
    const std::string bin = TESSARO_PROGRAM_DIR;
    if (builder)
        fs::copy_file(bin + "Cabwizsp", dir + "Cabwizsp", fs::copy_options::overwrite_existing);
    if (loader)
        fs::copy_file(bin + "CabLoader", dir + "CabLoader", fs::copy_options::overwrite_existing);
    if (fs::exists(bin + "Default"))
        fs::copy_file(bin + "Default", dir + "Default", fs::copy_options::overwrite_existing);
}

inline tessaro::model::TPlugins& AddEntry(tessaro::model::Document& doc, const std::string& name,
                                          int top, int height, const std::string& bgImage = "") {
    int i = tessaro::model::CountEntries(doc);
    auto& e = doc.Plugins[i];
    e.Used = 1;
    e.Name = name;
    e.Top = top;
    e.Height = height;
    e.BgImage = bgImage;
    doc.ActivePluginsList.Lines.push_back(name);
    return e;
}

inline tessaro::platform::ProcessResult RunTool(const std::string& program,
                                                const std::vector<std::string>& args,
                                                const std::string& dir = "") {
    return tessaro::platform::RunProgram(program, args, dir, 30000);
}

// The installer header as read by the tests.
struct ParsedHeader {
    std::string AppName, Provider;
    std::uint32_t Architecture = 0;
    std::map<int, std::string> Strings;
    std::map<int, std::string> Dirs; // joined with '\'
    struct File {
        int Id;
        std::string Dir, Name;
    };
    std::vector<File> Files;
    struct Value {
        int Root;
        std::string Key, Name;
        std::uint32_t Type;
        std::string Data;
    };
    std::vector<Value> Values;
};

inline std::uint16_t U16(const std::string& d, size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(d.at(at)) |
                                      static_cast<unsigned char>(d.at(at + 1)) << 8);
}
inline std::uint32_t U32(const std::string& d, size_t at) {
    return U16(d, at) | static_cast<std::uint32_t>(U16(d, at + 2)) << 16;
}

inline ParsedHeader ParseHeader(const std::string& d) {
    ParsedHeader h;
    if (d.size() < 100 || d.compare(0, 4, "MSCE") != 0 || U32(d, 8) != d.size())
        throw std::runtime_error("not an installer header");
    h.Architecture = U32(d, 20);
    auto text = [&](size_t at, size_t len) { return d.substr(at, len ? len - 1 : 0); };
    h.AppName = text(U16(d, 84), U16(d, 86));
    h.Provider = text(U16(d, 88), U16(d, 90));
    size_t at = U32(d, 60);
    for (int i = 0; i < U16(d, 48); ++i) {
        int id = U16(d, at), len = U16(d, at + 2);
        h.Strings[id] = text(at + 4, len);
        at += 4 + len;
    }
    auto idPath = [&](size_t& p) {
        int len = U16(d, p);
        std::string out;
        for (int k = 0; k < len / 2; ++k) {
            int id = U16(d, p + 2 + 2 * k);
            if (id == 0)
                break;
            if (!out.empty())
                out += '\\';
            out += h.Strings.at(id);
        }
        p += 2 + len;
        return out;
    };
    at = U32(d, 64);
    for (int i = 0; i < U16(d, 50); ++i) {
        int id = U16(d, at);
        at += 2;
        h.Dirs[id] = idPath(at);
    }
    at = U32(d, 68);
    for (int i = 0; i < U16(d, 52); ++i) {
        int id = U16(d, at), dir = U16(d, at + 2), len = U16(d, at + 10);
        h.Files.push_back({id, h.Dirs.at(dir), text(at + 12, len)});
        at += 12 + len;
    }
    std::map<int, std::pair<int, std::string>> hives;
    at = U32(d, 72);
    for (int i = 0; i < U16(d, 54); ++i) {
        int id = U16(d, at), root = U16(d, at + 2);
        at += 6;
        hives[id] = {root, idPath(at)};
    }
    at = U32(d, 76);
    for (int i = 0; i < U16(d, 56); ++i) {
        int hive = U16(d, at + 2);
        std::uint32_t type = U32(d, at + 6);
        int len = U16(d, at + 10);
        std::string blob = d.substr(at + 12, len);
        size_t nul = blob.find('\0');
        h.Values.push_back({hives.at(hive).first, hives.at(hive).second, blob.substr(0, nul), type,
                            blob.substr(nul + 1)});
        at += 12 + len;
    }
    return h;
}

} // namespace cabtest
