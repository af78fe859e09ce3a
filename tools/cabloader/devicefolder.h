#pragma once
// Writing into the device folder, all or nothing and never through a link.
//
// Every path below the device folder is walked one component at a time from
// an open descriptor of the device folder (openat with O_NOFOLLOW), so a
// symbolic link planted anywhere inside it is refused rather than followed.
// An install first stages every file in a fresh folder of its own inside the
// device folder (a random name, created by this run, files created with
// O_EXCL), then moves the files into place with renames; an existing file is
// kept aside (as a hard link) until the install is complete. On any failure
// the moves already made are undone, the folders made are removed, and the
// device folder is as it was. Installs take turns: each holds a lock on the
// device folder itself (flock), and removes the staging folders an
// interrupted install left behind.
#include <functional>
#include <string>
#include <vector>

namespace cabloader {

// The name of the registry file at the root of the device folder; no file
// of a cabinet may take it.
inline constexpr const char* kRegistryFile = "registry.txt";
// The staging folders' names start with this; no cabinet file may use it.
inline constexpr const char* kStagePrefix = ".cabloader-";

struct Placement {
    std::string Target;        // below the device folder, '/'-separated, no "." or ".."
    std::string Data;          // the bytes to write
    bool KeepExisting = false; // an existing file stays as it is
};

struct InstallResult {
    std::vector<bool> Kept; // per placement: an existing file was kept
};

class DeviceFolder {
  public:
    // Opens the device folder at `path`, creating it (and its parents) when
    // missing; what it made is removed again (when empty) unless an install
    // succeeds. `path` is the user's choice and may itself be or pass through
    // links; nothing below it is followed. Throws cabtool::Failure.
    explicit DeviceFolder(const std::string& path);
    ~DeviceFolder();
    DeviceFolder(const DeviceFolder&) = delete;
    DeviceFolder& operator=(const DeviceFolder&) = delete;

    // Places every file and, when `registry` is given, replaces the registry
    // file with registry(old text) ("" when there is none), all or nothing.
    // Refuses (cabtool::Failure, nothing written) a target that is the
    // registry file or a staging folder, that passes through a link, a file
    // or anything but a folder, that is itself a link or a folder, or that
    // the placements need both as a file and as a folder.
    InstallResult Install(const std::vector<Placement>& files,
                          const std::function<std::string(const std::string&)>* registry);

  private:
    std::string path_;
    int fd_ = -1;
    std::vector<std::string> made_; // folders the constructor made, outermost first
    bool installed_ = false;
};

} // namespace cabloader
