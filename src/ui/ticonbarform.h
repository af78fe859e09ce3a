#pragma once
// The "Icon Bar Style" window: style, transparency and level, the three bar
// colours, the Advanced template number and the Custom picture, with the bar
// of the chosen style drawn under the common controls.
#include <QCheckBox>
#include <QDialog>
#include <functional>
#include <optional>

#include "preview/iconbarstyle.h"
#include "ui/stylewindows.h"

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSpinBox;
class QToolButton;

namespace tessaro::ui {

class BitmapView;
class ColorSwatch;

// The transparent box; tells apart a tick by mouse (released over the box).
class TransparentBox : public QCheckBox {
    Q_OBJECT
  public:
    using QCheckBox::QCheckBox;
  signals:
    void mouseReleased();

  protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

class TIconBarForm : public QDialog {
    Q_OBJECT
  public:
    TIconBarForm(preview::Preview& preview, PickFileFn pickFile, PickColorFn pickColor,
                 QWidget* parent = nullptr);

    // Loads the controls from entry doc.EditIndex and shows the window
    // modally. A failure while loading is shown and the window opens anyway.
    void Open();
    // The loading alone, for callers that show the window themselves.
    void Load();

    preview::IconBarStyle& Core() { return core_; }

    QGroupBox* RadioGroup1 = nullptr;
    QRadioButton* StyleButtons[3] = {};
    TransparentBox* CheckBox1 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    ColorSwatch* Shape1 = nullptr;  // Color1
    ColorSwatch* Shape2 = nullptr;  // Color2
    ColorSwatch* Shape3 = nullptr;  // TextColor
    QPushButton* Button1 = nullptr; // "OK"
    QWidget* NormalPanel = nullptr;
    QWidget* AdvancedPanel = nullptr;
    QWidget* CustomPanel = nullptr;
    BitmapView* Image3 = nullptr;        // Normal bar
    BitmapView* Image1 = nullptr;        // Advanced bar
    BitmapView* Image2 = nullptr;        // Custom bar
    QSpinBox* SpinEdit1 = nullptr;       // "Template #"
    QToolButton* SpeedButton1 = nullptr; // "Load Image"

  private:
    void Handle(const std::function<void()>& handler);
    void Sync();
    void SwatchClicked(int which);

    preview::IconBarStyle core_;
    PickFileFn pickFile_;
    PickColorFn pickColor_;
    bool syncing_ = false;
};

} // namespace tessaro::ui
