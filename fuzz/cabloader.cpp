// The device loader (CabLoader): the cabinet reader, the installer header
// reader and the install itself, run into a scratch device folder. Whatever
// the cabinet holds, nothing may land outside the device folder, the loader's
// work folder must be gone afterwards, a refused cabinet leaves the device
// folder exactly as it was, and no install drops a registry value set before.
//
// Input: a cabinet file as it is ("MSCF..."), or, so the fuzzer can reach the
// header reader without rebuilding cabinet checksums, its members spelled
// out: parts separated by kSeparator, each part a member name, a newline, and
// the member's bytes. The first member is normally the ".000" installer
// header. Such input is packed into an uncompressed cabinet first.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include <libgcab.h>
#include <sys/stat.h>

#include "support.h"

int cabloader_main(int argc, char** argv);

namespace {

constexpr std::string_view kSeparator = "\n=====\n";

struct Folders {
    std::string Root, Device, Outside, Work, Cabinet;
    fuzz::Tree DeviceStart, OutsideStart;
};

const Folders& Setup() {
    static const Folders f = [] {
        Folders s;
        s.Root = fuzz::ScratchFolder("cabloader");
        s.Device = s.Root + "device";
        s.Outside = s.Root + "outside";
        s.Work = s.Root + "work";
        s.Cabinet = s.Root + "input.cab";
        ::mkdir(s.Device.c_str(), 0755);
        ::mkdir((s.Device + "/Windows").c_str(), 0755);
        fuzz::WriteFile(s.Device + "/Windows/existing.txt", "installed before");
        fuzz::WriteFile(s.Device + "/registry.txt",
                        "HKLM\\Software\\Earlier\\Value = string:kept\r\n");
        ::mkdir(s.Outside.c_str(), 0755);
        fuzz::WriteFile(s.Outside + "/registry.txt", "outside the device folder");
        ::mkdir(s.Work.c_str(), 0755);
        s.DeviceStart = fuzz::Snapshot(s.Device);
        s.OutsideStart = fuzz::Snapshot(s.Outside);
        setenv("TESSARO_DEVICE", s.Device.c_str(), 1);
        setenv("TMPDIR", s.Work.c_str(), 1);
        return s;
    }();
    return f;
}

// Packs the spelled-out members into an uncompressed cabinet at `path`.
// False when gcab refuses them (such input says nothing about the loader).
bool PackMembers(std::string_view data, const std::string& path) {
    GCabCabinet* cabinet = gcab_cabinet_new();
    GCabFolder* folder = gcab_folder_new(GCAB_COMPRESSION_NONE);
    bool ok = true;
    for (const std::string& part : fuzz::Split(data, kSeparator)) {
        const std::size_t nl = part.find('\n');
        std::string name = part.substr(0, nl);
        std::string content = nl == std::string::npos ? std::string() : part.substr(nl + 1);
        if (name.empty() || name.find('\0') != std::string::npos || !g_utf8_validate(name.c_str(), -1, nullptr)) {
            ok = false;
            break;
        }
        GBytes* bytes = g_bytes_new(content.data(), content.size());
        GCabFile* file = gcab_file_new_with_bytes(name.c_str(), bytes);
        g_bytes_unref(bytes);
        ok = gcab_folder_add_file(folder, file, FALSE, nullptr, nullptr);
        g_object_unref(file);
        if (!ok) break;
    }
    if (ok) ok = gcab_cabinet_add_folder(cabinet, folder, nullptr);
    if (ok) {
        GFile* file = g_file_new_for_path(path.c_str());
        GFileOutputStream* out =
            g_file_replace(file, nullptr, FALSE, G_FILE_CREATE_NONE, nullptr, nullptr);
        ok = out && gcab_cabinet_write_simple(cabinet, G_OUTPUT_STREAM(out), nullptr, nullptr,
                                              nullptr, nullptr);
        if (out) {
            g_output_stream_close(G_OUTPUT_STREAM(out), nullptr, nullptr);
            g_object_unref(out);
        }
        g_object_unref(file);
    }
    g_object_unref(folder);
    g_object_unref(cabinet);
    return ok;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Folders& f = Setup();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.substr(0, 4) == "MSCF") fuzz::WriteFile(f.Cabinet, bytes);
    else if (!PackMembers(bytes, f.Cabinet)) return 0;

    std::string program = "CabLoader", cabinet = f.Cabinet;
    char* argv[] = {program.data(), cabinet.data(), nullptr};
    int status;
    {
        fuzz::Quiet quiet;
        status = cabloader_main(2, argv);
    }

    const fuzz::Tree device = fuzz::Snapshot(f.Device);
    if (const std::string d = fuzz::Differences(f.OutsideStart, fuzz::Snapshot(f.Outside)); !d.empty())
        fuzz::Finding("the install wrote outside the device folder:" + d);
    if (const fuzz::Tree work = fuzz::Snapshot(f.Work, false); !work.empty())
        fuzz::Finding("the loader left its work files behind: " + work.begin()->first);
    for (const auto& [path, e] : fuzz::Snapshot(f.Root, false))
        if (path != "device" && path.rfind("device/", 0) != 0 && path.rfind("outside", 0) != 0 &&
            path.rfind("work", 0) != 0 && path != "input.cab")
            fuzz::Finding("the install wrote outside the device folder: " + path);
    for (const auto& [path, e] : device)
        if (e.Kind != 'f' && e.Kind != 'd')
            fuzz::Finding("the install made something other than a file or folder: " + path);
    // A cabinet may change registry values, never drop one that was there.
    if (status == 0) {
        const std::string registry = fuzz::ReadFile(f.Device + "/registry.txt");
        if (registry.find("HKLM\\Software\\Earlier\\Value = ") == std::string::npos)
            fuzz::Finding("the install dropped an earlier registry value");
    }
    if (status != 0) {
        if (const std::string d = fuzz::Differences(f.DeviceStart, device); !d.empty())
            fuzz::Finding("a refused cabinet changed the device folder:" + d);
        return 0;
    }
    // Back to the starting state for the next input.
    fuzz::RemoveTree(f.Device);
    ::mkdir(f.Device.c_str(), 0755);
    for (const auto& [path, e] : f.DeviceStart) {
        if (e.Kind == 'd') ::mkdir((f.Device + "/" + path).c_str(), 0755);
        else fuzz::WriteFile(f.Device + "/" + path, e.Content);
    }
    return 0;
}
