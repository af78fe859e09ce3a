#pragma once
// The background button of the main window's "Options" page.
#include <functional>

#include "model/document.h"
#include "ui/stylewindows.h"

class QWidget;

namespace tessaro::ui {

class TBGImageForm;

// Picks a picture with `pickFile`, crops it in `cropForm` when it is larger
// than the screen, stores the 176 x 200 result in the program folder and sets
// doc.BGI and doc.BackgroundImage, then calls `redraw` (also when the dialog
// or the crop window was cancelled). A refused or unreadable picture is shown
// in a message box over `parent`; the document is then unchanged and there is
// no redraw. Never throws.
void ChooseBackground(QWidget* parent, model::Document& doc, TBGImageForm& cropForm,
                      const PickFileFn& pickFile, const std::function<void()>& redraw);

} // namespace tessaro::ui
