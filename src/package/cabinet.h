#pragma once
// Theme cabinets: the setup INF, building the cabinet with the external
// builder, exporting the home layout, and handing cabinets to the device
// loader. All work files live in the program folder doc.AppDir:
//   "temp"              the home layout writer's output
//   base + ".home.xml"  the layout as the cabinet carries it (removed after the build)
//   "CF.inf"            the setup INF (removed after the build)
//   "CF.cab"            the builder's output (removed after it is copied)
//   "Theme.cab"         the cabinet "Load Theme to SamrtPhone" builds (stays)
// The builder is "Cabwizsp" started with "CF.inf" in AppDir; the loader is
// "CabLoader" started with one cabinet path argument. Both are run from
// doc.HelperDir (AppDir when that is empty).
// BuildCabinet, ExportHomeLayout and LoadThemeToDevice hold the program
// folder's lock (platform/folderlock.h) while they run, and throw Error when
// another Tessaro holds it for longer than the lock waits.
#include <functional>
#include <string>

#include "model/document.h"

namespace tessaro::package {

// How long the builder may run before it is stopped and the build fails.
inline constexpr int kBuilderTimeoutMs = 60000;
// How long a waited-for device loader may run.
inline constexpr int kLoaderTimeoutMs = 120000;

// Checks every name the INF will carry (the background doc.BGI, base +
// ".home.xml", each entry's BgImage) before anything is written: a name
// holding '"', ';', '%', ',', '[' or ']' would break the INF's syntax, and a
// control character or folder separator its lines. Throws Error naming the
// picture (and its entry) and the character.
void CheckCabinetNames(const model::Document& doc, const std::string& base);

// The INF text for the document and the cabinet's base name: CR LF lines,
// an empty first line, the background doc.BGI, base + ".home.xml" and the
// BgImage of every entry that has one, in entry order, repeated names kept.
std::string BuildInf(const model::Document& doc, const std::string& base);

// Builds the theme cabinet and writes it to `target` (a full path). The home
// layout is written for `dialogFileName` (the name the save dialog holds; it
// gives the layout's title) and carried as base + ".home.xml", base being the
// target's file name without its extension. Waits for the builder (up to
// kBuilderTimeoutMs), calling `pump` every few milliseconds.
// Throws Error (CheckCabinetNames) before anything is written when a name
// cannot go into the INF; when the layout cannot be written, the builder cannot be
// started, fails, runs too long or leaves no "CF.cab" (the message carries
// what it printed); the target is then not touched. The target is replaced
// through a temporary file and a rename. Afterwards AppDir holds none of
// "temp", base + ".home.xml", "CF.inf" and "CF.cab" (unless the target is
// AppDir's own "CF.cab").
void BuildCabinet(model::Document& doc, const std::string& target,
                  const std::string& dialogFileName, const std::function<void()>& pump = {});

// Writes the home layout for `target` and copies it there (through a
// temporary file and a rename). The work file "temp" stays in AppDir.
// Throws Error when either write fails.
void ExportHomeLayout(model::Document& doc, const std::string& target);

// What became of a device loader run.
struct LoaderRun {
    bool Waited = false; // the loader was waited for and finished
    int ExitCode = -1;   // when Waited
    std::string Output;  // what it printed, when Waited
};

// Starts the device loader on `cabPath` (one argument, blanks and all).
// wait = false: returns once it is running. wait = true: waits up to
// kLoaderTimeoutMs and throws Error with its output when it exits non-zero
// or does not finish. Throws Error when the loader cannot be started.
LoaderRun RunDeviceLoader(const model::Document& doc, const std::string& cabPath, bool wait);

// BuildCabinet for AppDir + "Theme.cab", then RunDeviceLoader on it (not
// waiting). A failed build throws before the loader is started, so the
// device never receives an older "Theme.cab".
void LoadThemeToDevice(model::Document& doc, const std::string& dialogFileName,
                       const std::function<void()>& pump = {});

// RunDeviceLoader on AppDir + name (a plugin cabinet shipped beside the
// program, "AnalogClock_Plugin.cab" or "WMP_Plugin.cab"). Throws Error
// naming the cabinet when it is missing.
LoaderRun InstallPluginCabinet(const model::Document& doc, const std::string& name, bool wait);

} // namespace tessaro::package
