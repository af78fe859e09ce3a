#pragma once
// Shared by the window tests: a scratch copy of the built program folder.
#include <QString>
#include <string>

namespace tessaro::uitest {

// Copies the support files of the built program folder (not its programs)
// into a fresh folder under the system's temporary folder and returns it,
// ending in '/'.
std::string MakeProgramFolder(const QString& tag);

// Removes a folder made by MakeProgramFolder.
void RemoveFolder(const std::string& dir);

} // namespace tessaro::uitest
