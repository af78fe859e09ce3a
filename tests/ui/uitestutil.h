#pragma once
// Shared by the window tests: a scratch copy of the built program folder.
#include <QString>
#include <memory>
#include <string>

#include "ui/tmainform.h"

class QListWidget;

namespace tessaro::uitest {

// Copies the support files of the built program folder (not its programs)
// into a fresh folder under the system's temporary folder and returns it,
// ending in '/'.
std::string MakeProgramFolder(const QString& tag);

// Removes a folder made by MakeProgramFolder.
void RemoveFolder(const std::string& dir);

// Makes the main window on `appDir` with `hooks`, shows it, waits until it is
// active and turns to the Home Screen page. False when it never became
// active.
bool ShowOnHomePage(std::unique_ptr<ui::TMainForm>& w, const std::string& appDir, ui::MainFormHooks hooks);

// Clicks line `row` of a list.
void ClickLine(QListWidget* list, int row);

} // namespace tessaro::uitest
