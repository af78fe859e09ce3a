#pragma once
// Opening a project the way the designer does, for the commands that work on
// an opened design.
#include <memory>
#include <string>

#include "model/document.h"
#include "platform/folderlock.h"
#include "preview/preview.h"

namespace tessaro::cli {

struct Session {
    // Held for the whole command: it uses the program folder's work files
    // from the opening to the last file it writes. Released last.
    std::unique_ptr<platform::ProgramFolderLock> Lock;
    std::unique_ptr<model::Document> Doc;
    std::unique_ptr<preview::Preview> View;
};

// Creates the GUI application object the text drawing needs (offscreen when
// no platform is set). Only in the programs that link QtGui (gui.cpp).
void EnsureGuiApplication();

// Set by tessaro-cli for the program it hands a command to: the folder of
// tessaro-cli itself, which decides the program folder and the helpers
// (the program handed to may lie in the installed helper folder).
inline constexpr const char* kProgramDirVariable = "TESSARO_CLI_DIR";

// The folder the program folder and the helpers are found from, ending in
// '/': kProgramDirVariable when set, otherwise this program's own folder.
std::string ProgramDir();

// Where the helper programs are run from for the program folder `appDir`:
// `appDir` itself when it holds them, otherwise where this program's own
// helpers are (the program's folder, or the installed helper folder).
std::string HelperFolder(const std::string& appDir);

// Start-up on appDir, OpenProject(project), then one preview pass, as the
// designer runs after opening: the pass may remove a second advanced icon bar
// or clock face, clear a transparency the layout cannot have, and point the
// background name at the picture with the clock face burned in. Messages of
// the pass go to stderr. A failed pass throws when `strictPass`; otherwise its
// error is printed on stderr and the design stays as opened, as in the
// designer, where the user can go on after the message.
// Without `withText` the pass leaves texts out of the preview surfaces, so no
// font is loaded: for commands that use only the design and the files the
// pass writes. With it, call EnsureGuiApplication() first.
Session OpenLikeDesigner(const std::string& appDir, const std::string& project, bool strictPass,
                         bool withText = true);

} // namespace tessaro::cli
