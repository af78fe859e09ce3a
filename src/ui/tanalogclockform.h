#pragma once
// The "AnalogClock Style" window: size, position, hands and face of an
// AnalogClock entry, with the clock picture drawn under the fields. It has
// no title bar and no cancel button; "OK" stores the fields into the entry.
#include <QDialog>
#include <functional>

#include "preview/clockstyle.h"
#include "ui/stylewindows.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tessaro::ui {

class BitmapView;
class ColorSwatch;

class TAnalogClockForm : public QDialog {
    Q_OBJECT
  public:
    TAnalogClockForm(preview::Preview& preview, PickColorFn pickColor,
                     std::function<int()> heightFieldMax, std::function<void(int)> setHeightField,
                     QWidget* parent = nullptr);
    // Leaving a field while the window is taken down must not reach the
    // handlers of a half-destroyed window.
    ~TAnalogClockForm() override;

    // Loads the fields from entry doc.EditIndex and shows the window modally.
    // A failure while loading is shown and the window opens anyway.
    void Open();
    // The loading alone, for callers that show the window themselves.
    void Load();

    preview::ClockStyle& Core() { return core_; }

    QSpinBox* SpinEdit1 = nullptr;    // "Size"
    QLabel* SizeLabel = nullptr;      // " x" + size
    QSpinBox* SpinEdit2 = nullptr;    // "X Position"
    QSpinBox* SpinEdit4 = nullptr;    // "Hour Arrow Width"
    QSpinBox* SpinEdit5 = nullptr;    // "Minute Arrow Width"
    QSpinBox* SpinEdit3 = nullptr;    // "Arrows Length"
    ColorSwatch* Shape1 = nullptr;    // "Hour Arrow Color"
    ColorSwatch* Shape2 = nullptr;    // "Minute Arrow Color"
    QGroupBox* RadioGroup1 = nullptr; // "Face Style"
    QRadioButton* FaceButtons[2] = {};
    QWidget* AdvancedPanel = nullptr;
    QSpinBox* SpinEdit6 = nullptr;  // "Templatr #"
    ColorSwatch* Shape3 = nullptr;  // "Color"
    BitmapView* Image1 = nullptr;   // the clock picture
    QPushButton* Button1 = nullptr; // "OK"

  protected:
    void paintEvent(QPaintEvent* e) override;

  private:
    void Handle(const std::function<void()>& handler);
    void Sync();
    void SwatchClicked(int which);
    int HeightFieldMax();
    QSpinBox* AddField(const char* caption, int row, int min, int max);

    preview::ClockStyle core_;
    PickColorFn pickColor_;
    std::function<int()> heightFieldMax_;
    std::function<void(int)> setHeightField_;
    bool syncing_ = false;
};

} // namespace tessaro::ui
