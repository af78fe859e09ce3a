#pragma once
// The four style windows the main window opens modally:
// the background crop window (TBGImageForm), the advanced options window
// (Tadvopt), the icon bar window (TIconBarForm) and the analog clock window
// (TAnalogClockForm). They read and write the main window's document
// directly, addressing the entry being edited by doc.EditIndex.
//
// Every Open* method shows its window modally and returns when it closes.
// A failing handler inside a window shows its error in a message box and the
// window stays usable; nothing is thrown to the caller. The caller redraws
// the preview afterwards.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "model/document.h"

class QWidget;

namespace tessaro::preview {
class Preview;
}

namespace tessaro::ui {

// Shows the main window's shared open dialog with `filter` (e.g.
// "Graphic Files|*.jpg;*.jpeg;*.bmp"); returns the chosen path, or nothing
// when the user cancels. The dialog keeps whatever else it held.
using PickFileFn = std::function<std::optional<std::string>(const std::string& filter)>;

// Shows the colour dialog (the state format options window's) starting at
// `initial`; returns the chosen colour, or nothing when cancelled.
using PickColorFn = std::function<std::optional<model::Color>(model::Color initial)>;

// What the windows need from the main window besides the document and the
// preview. Every member may be left empty:
//  - PickColor: a plain colour dialog is used;
//  - HeightFieldMax: the settings panel's height field maximum; by default it
//    is worked out from the stored neighbours of entry EditIndex as the
//    panel does (the next entry's Top, or 6000, minus the entry's Top);
//  - SetHeightField: called by the clock window's "OK" with the clock size,
//    so that the panel's height field shows what was stored.
struct StyleWindowHooks {
    PickColorFn PickColor;
    std::function<int()> HeightFieldMax;
    std::function<void(int)> SetHeightField;
};

class StyleWindows {
  public:
    virtual ~StyleWindows() = default;

    // "Options" of an Icon Bar entry.
    virtual void OpenIconBar() = 0;
    // "Options" of an AnalogClock entry.
    virtual void OpenAnalogClock() = 0;
    // "Options" of the kinds with a background section or, for MRU, the
    // "Icons Count" section (chosen from doc.CurrentKind).
    virtual void OpenAdvancedOptions() = 0;
    // The background button of the "Options" page: picks a picture, crops it
    // when larger than the screen, sets doc.BGI and doc.BackgroundImage and
    // calls `redraw` as the background choice does.
    virtual void ChooseBackground(const std::function<void()>& redraw) = 0;
};

// The four windows, parented to `parent` (the main window); each is built
// the first time it is opened and kept from then on.
std::unique_ptr<StyleWindows> CreateStyleWindows(model::Document& doc, preview::Preview& preview,
                                                 PickFileFn pickFile, QWidget* parent,
                                                 StyleWindowHooks hooks = {});

// A plain open dialog for `filter` (used when no shared dialog is given).
std::optional<std::string> PickFileWithDialog(QWidget* parent, const std::string& filter);
// A plain colour dialog.
std::optional<model::Color> PickColorWithDialog(QWidget* parent, model::Color initial);

} // namespace tessaro::ui
