#pragma once
// "Device View": the phone screen large, beside the main window. It shows the
// screen the preview pass drew (the plain one, or the one with the current
// entry in the selected state) at a whole-number zoom, fitted or chosen, with
// the fold and an optional grid, and lets the user work in it: a click selects
// an entry, a double-click opens it in the settings panel, dragging moves an
// entry up or down or a label anywhere, and the arrow keys nudge (Shift: by
// ten). Every change goes through TMainForm::ApplyDirectEdit. The window
// remembers its size, zoom and toggles.
#include <optional>

#include <QElapsedTimer>
#include <QIcon>
#include <QWidget>

#include "preview/devicescreen.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace tessaro::ui {

class TMainForm;
class DeviceScreenView;

// The picture of the button that opens the window: a small phone.
QIcon DeviceViewIcon();

class DeviceView : public QWidget {
    Q_OBJECT
  public:
    // A window of its own, owned by `main`.
    explicit DeviceView(TMainForm& main);
    ~DeviceView() override;

    // The entry shown in the selected state: the entry the settings panel
    // edits, else the one selected in the entry list; -1 for none.
    int CurrentEntry() const;
    // What the next preview pass should draw selected: CurrentEntry() while
    // the window is shown with the selected state on, else -1.
    int WantedSelection() const;

    // The zoom in use (1..6) and whether it follows the window's size.
    int Zoom() const;
    bool Fitted() const;
    // 0: fit to the window; 1..6: that zoom.
    void SetZoomChoice(int choice);

    // Draws again from the preview's surfaces (after a pass or a scroll).
    void Refresh();
    // Runs a pass when the selected entry differs from what the last pass
    // drew, else only Refresh().
    void EnsureSelection();

    // The element (label slot 0..2) picked last in the current entry; -1 for
    // the entry itself.
    int CurrentElement() const { return element_; }

    // Where screen pixel (x, y) lies on the screen widget (its centre).
    QPoint WidgetPoint(int x, int y) const;

    QComboBox* ZoomBox = nullptr;        // "Fit", "1x" .. "6x"
    QCheckBox* SelectedToggle = nullptr; // "Selected state"
    QCheckBox* FoldToggle = nullptr;     // "Fold"
    QCheckBox* GridToggle = nullptr;     // "Grid"
    QLabel* StatusLabel = nullptr;
    QWidget* Screen = nullptr; // the zoomed screen; takes the mouse and keys

  protected:
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    friend class DeviceScreenView;
    // The entry (and element) under a point of the screen, if any.
    std::optional<preview::ScreenHit> HitAt(QPoint screen) const;
    void Press(QPoint screen);
    void Drag(QPoint screen);
    void Release();
    void DoubleClick(QPoint screen);
    void Nudge(int dx, int dy);
    void UpdateStatus();
    void SaveSettings() const;

    TMainForm& main_;
    int element_ = -1;
    // The gesture under way: a drag of an entry (slot -1) or of a label.
    struct DragState {
        bool Active = false;
        int Entry = -1;
        int Slot = -1;
        QPoint Start;
        int StartTop = 0, StartX = 0, StartY = 0;
        int Series = 0;
    } drag_;
    int nextSeries_ = 1;
    int nudgeSeries_ = 0;
    int nudgeTarget_ = -2; // entry * 4 + slot of the nudge run
    QElapsedTimer lastNudge_;
    bool restoring_ = false;
};

} // namespace tessaro::ui
