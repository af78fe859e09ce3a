#pragma once
// Where the program folder is. Run from the build tree (or any writable copy
// of it) the executable's own folder is everything: support files, helper
// programs and work files. An installed copy keeps its support files under
// <prefix>/share/tessaro/ and its helpers under <prefix>/libexec/tessaro/,
// both read-only; its program folder is then a per-user work folder,
// $XDG_DATA_HOME/tessaro/ (~/.local/share/tessaro/), seeded from the shipped
// support files.
//
// Seeding and updating the work folder:
// - The first start copies every shipped file into the work folder and writes
//   two stamp files there: ".tessaro-version" (the installed version) and
//   ".tessaro-shipped" (a checksum of each file as it was copied).
// - When the installed version differs from the stamp, each shipped file is
//   copied again unless the work folder's copy was changed since it was
//   copied (its checksum differs from the recorded one): such a file is kept,
//   and reported. A shipped file missing from the work folder is copied.
// - With the same version only missing shipped files are copied back.
// - No other file of the work folder is ever written or removed: the user's
//   pictures, layouts, the work files and the device folder ("device/") stay.
#include <functional>
#include <string>
#include <vector>

namespace tessaro::platform {

// Where an installed copy keeps its pieces, relative to the folder of its
// executables (each ending in '/').
struct InstallLayout {
    std::string Shipped = "../share/tessaro/";
    std::string Helpers = "../libexec/tessaro/";
};

struct ProgramFolders {
    std::string Work;    // the program folder: support files read, work files written
    std::string Helpers; // where Cabwizsp and CabLoader are run from
    std::string Shipped; // the read-only support files to seed Work from; empty: Work is used as it is
    // After PrepareProgramFolders: shipped files the user changed in Work and
    // a new version did not replace (SeedReport::Kept).
    std::vector<std::string> Kept;
};

// A note for the user naming the kept files and where the installed ones
// are; empty when nothing was kept.
std::string KeptFilesNote(const ProgramFolders& folders);

// Reads an environment variable; the default reads the process environment.
using EnvironmentReader = std::function<std::string(const std::string& name)>;

// The per-user work folder, "<data home>/tessaro/", where data home is
// $XDG_DATA_HOME when set, otherwise $HOME/.local/share (the same rule the
// device loader follows for its default device folder). An absolute path
// ending in '/'. Throws Error when neither variable is set.
std::string UserWorkFolder(const EnvironmentReader& env = {});

// Decides the folders for an executable in `exeDir` (ending in '/'):
// - `appDirOverride` not empty (--appdir): Work is that folder, used as it is;
//   the helpers are taken from it when it holds them, otherwise from where
//   they would be without the override.
// - `exeDir` holds the "Default" preset and the "Cabwizsp" helper (the build
//   tree, a copied program folder): Work and Helpers are `exeDir` when the
//   folder is writable; when it is not, Helpers stay there and Work is the
//   user's work folder, seeded from `exeDir`.
// - `exeDir` + layout.Shipped holds "Default" (an installed copy): Work is the
//   user's work folder, seeded from there; Helpers is exeDir + layout.Helpers.
//   When the work folder is that very folder (installed with the prefix
//   ~/.local), it is used as it is, without seeding.
//   This is decided from the layout, not from permissions, so it holds for
//   root as for everyone else.
// - Otherwise everything is `exeDir`, as for the build tree.
// Touches nothing on disk.
ProgramFolders LocateProgramFolders(const std::string& exeDir, const std::string& appDirOverride,
                                    const InstallLayout& layout = {}, const EnvironmentReader& env = {});

// What SeedWorkFolder did.
struct SeedReport {
    bool FirstStart = false;     // there was no version stamp
    bool VersionChanged = false; // the stamp named another version
    std::vector<std::string> Copied; // shipped files written, relative paths
    std::vector<std::string> Kept;   // shipped files the user changed, left as they are
};

// Brings `work` up to date with `shipped` for `version` as described at the
// top. Creates `work` (and the folders above it) when missing. Subfolders
// named "device" of `shipped` and programs (files with an execute bit) are
// never copied; `work` may not be `shipped` itself. Throws Error naming the file
// or folder when something cannot be created, read or written; a failed run
// leaves the version stamp as it was, so the next start tries again.
SeedReport SeedWorkFolder(const std::string& shipped, const std::string& work,
                          const std::string& version);

// LocateProgramFolders, then SeedWorkFolder when the result has a Shipped
// folder; Kept lists what the seeding kept. Throws Error when seeding fails.
ProgramFolders PrepareProgramFolders(const std::string& exeDir, const std::string& appDirOverride,
                                     const std::string& version, const InstallLayout& layout = {},
                                     const EnvironmentReader& env = {});

} // namespace tessaro::platform
