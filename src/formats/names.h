#pragma once
// File names that come in from outside (project lines, chosen pictures and
// scheme files, imported layouts) and the program folder's own files, which
// such a name must never replace. The phone ignores letter case in file
// names, so every comparison here does too.
#include <string>
#include <string_view>

namespace tessaro::formats {

// The work files the program writes in its program folder.
inline constexpr const char* kWorkLayout = "temp";              // the home layout writer's output
inline constexpr const char* kWorkInf = "CF.inf";               // the setup INF for the builder
inline constexpr const char* kWorkCab = "CF.cab";               // the builder's output
inline constexpr const char* kThemeCab = "Theme.cab";           // the cabinet sent to the phone
inline constexpr const char* kUndoStore = ".undo";              // the editor's superseded pictures
inline constexpr const char* kUserScheme = "user.scheme.xml";   // the scheme a project carries
inline constexpr const char* kIconBarPicture = "iconbar.jpg";   // the icon bar drawing
inline constexpr const char* kClockBackground = "BackGroundImage with Analog Plugin.jpg";
inline constexpr const char* kDefaultPicture = "WindowsMobile.JPG"; // the default background
inline constexpr const char* kLayoutSuffix = ".home.xml";       // base + suffix: the carried layout

// Throws Error when `name` cannot name a file of the program folder: it holds
// a control character (0x00-0x1F, 0x7F), a folder separator ('/', '\\') or a
// drive colon, or is "." or "..". The message names `what` and shows the name
// with control characters written as \xNN. An empty name passes (callers
// decide what "no picture" means).
void CheckPictureName(std::string_view name, std::string_view what = "picture");

// True when `name` (letter case ignored) is one of the files the program
// ships or writes in its program folder: the programs, the scheme presets,
// the support pictures and their folders, the fonts folder, the About files,
// the plugin cabinets and every work file (any name ending in ".home.xml",
// and the temporary files of replacing writes included).
bool IsReservedName(std::string_view name);

// The reserved names a design itself may name as a picture: the default
// background, the icon bar drawing and the clock's composed background.
// Returns the program's spelling of the name, or an empty view when `name` is
// none of them.
std::string_view DesignPictureName(std::string_view name);

// How a file arrives in the program folder under its own name.
enum class Arrival {
    Chosen,  // a picture the user chose in a window
    Project, // a companion file of a project being opened
    Scheme,  // a scheme file chosen with the scheme file button
};

// Refuses a file that would arrive in the program folder `appDir` (ending in
// '/') under `name` with the bytes `data` when it would replace one of the
// program's own files. Checks the name first (CheckPictureName). A reserved
// name passes only when nothing of the program is lost:
//  - the default background arriving with the very bytes the program folder
//    holds under that name, or when the program folder has none;
//  - the icon bar drawing and the clock's composed background carried by a
//    project (both are redrawn from the design);
//  - for a scheme, "user.scheme.xml" (the scheme work file) and a preset
//    arriving with the very bytes of the program's preset.
// Throws Error naming `what` and the file otherwise.
void CheckArrival(const std::string& appDir, std::string_view name, std::string_view data,
                  Arrival how, std::string_view what = "picture");

// `name` with control characters written as \xNN, for messages.
std::string ShownName(std::string_view name);

} // namespace tessaro::formats
