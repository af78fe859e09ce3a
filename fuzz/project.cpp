// Opening a project file the way tessaro-cli and the designer do: start-up on
// a program folder, the whole open with its companion copies, then one preview
// pass. The program folder is a scratch copy of the built one. Whatever the
// project says, the open ends in a design or in our Error, none of the
// program's own files changes, and the project's folder is left as it was.
//
// The project folder holds the companion files the seed projects name
// (pictures and a saved scheme), so the fuzzer reaches the copies and the
// preview, and files named like the program's own ("Default",
// "TrayIcons.bmp"), which a project must never bring in.
#include <cstdint>
#include <exception>
#include <string>
#include <sys/stat.h>

#include "cli/session.h"
#include "model/error.h"
#include "support.h"

#ifndef TESSARO_PROGRAM_DIR
#error "TESSARO_PROGRAM_DIR names the built program folder"
#endif

namespace {

struct Folders {
    std::string App, Project;
    fuzz::Tree AppStart, ProjectStart;
};

// The program folder without its executables: presets, pictures, fonts.
void CopySupportFiles(const std::string& from, const std::string& to) {
    for (const auto& [rel, e] : fuzz::Snapshot(from, false)) {
        struct stat st {};
        if (::stat((from + rel).c_str(), &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) ::mkdir((to + rel).c_str(), 0755);
        else if (S_ISREG(st.st_mode) && !(st.st_mode & S_IXUSR))
            fuzz::WriteFile(to + rel, fuzz::ReadFile(from + rel));
    }
}

const Folders& Setup() {
    static const Folders f = [] {
        Folders s;
        s.App = fuzz::ScratchFolder("program");
        CopySupportFiles(TESSARO_PROGRAM_DIR "/", s.App);
        s.Project = fuzz::ScratchFolder("project");
        CopySupportFiles(TESSARO_FUZZ_COMPANIONS "/", s.Project);
        s.AppStart = fuzz::Snapshot(s.App, false);
        s.ProjectStart = fuzz::Snapshot(s.Project);
        tessaro::cli::EnsureGuiApplication();
        return s;
    }();
    return f;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Folders& f = Setup();
    const std::string path = f.Project + "fuzz.trpf";
    fuzz::WriteFile(path, std::string(reinterpret_cast<const char*>(data), size));
    try {
        fuzz::Quiet quiet;
        tessaro::cli::OpenLikeDesigner(f.App, path, false);
    } catch (const tessaro::Error&) {
    }
    ::unlink(path.c_str());

    const fuzz::Tree app = fuzz::Snapshot(f.App, false);
    for (const auto& [rel, e] : f.AppStart) {
        auto it = app.find(rel);
        if (it == app.end() || it->second.Kind != e.Kind || it->second.Content != e.Content)
            fuzz::Finding("opening the project replaced or removed the program's own file " + rel);
    }
    // Companion copies brought in by this open go, so runs do not depend on
    // each other.
    for (const auto& [rel, e] : app)
        if (!f.AppStart.count(rel)) fuzz::RemoveTree(f.App + rel);
    if (const std::string d = fuzz::Differences(f.ProjectStart, fuzz::Snapshot(f.Project)); !d.empty())
        fuzz::Finding("opening the project changed its own folder:" + d);
    return 0;
}
