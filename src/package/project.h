#pragma once
// Saving and opening project files with their companion copies. Both hold
// the program folder's lock (platform/folderlock.h) while they run.
#include <string>

#include "model/document.h"

namespace tessaro::package {

// Main window start-up steps on the document: reset, AppDir := appDir (a '/'
// is appended when missing), Scheme := the "Default" preset, the default state
// formats from it, BackgroundImage and BGI := "WindowsMobile.JPG". Throws
// Error naming the file when the preset cannot be read.
void StartDocument(model::Document& doc, const std::string& appDir);

// Writes the project for path P into the folder P-without-extension, with the
// background, "user.scheme.xml" and the entry pictures copied beside it. The
// copies come first, each checked; the project file is written last, through
// a temporary file; a picture missing from doc.AppDir is not carried. Throws
// Error when the folder cannot be made (a folder that is not writable is
// named), a picture there cannot be copied (naming it) or the
// project file cannot be written; no new project file is left then.
void SaveProject(const model::Document& doc, const std::string& path);

// Reads and checks the whole project file, then replaces the document with it
// and copies its companion files into doc.AppDir (a companion missing beside
// the project is skipped). A bad file throws Error (naming the line that is
// wrong), as does a companion that would replace one of the program's own
// files (formats::CheckArrival); the document and the program folder are then
// as they were. A companion that cannot be written into doc.AppDir throws
// before the document changes.
void OpenProject(model::Document& doc, const std::string& path);

// The design a project file holds, exactly as stored: read and checked as
// OpenProject reads it, but nothing is copied into the program folder, no
// picture is looked at and no preview pass runs. The colour scheme comes from
// the project folder's "user.scheme.xml", else from appDir's. Throws Error as
// OpenProject does.
model::Theme ReadProject(const std::string& path, const std::string& appDir);

} // namespace tessaro::package
