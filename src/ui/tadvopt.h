#pragma once
// The "Advanced Options" window: an entry's own background picture and
// transparent background (Panel1), or the number of icons of an MRU entry
// (Panel2). Only one panel shows at a time and the window fits it.
#include <QDialog>
#include <string>

#include "images/advopt.h"
#include "ui/stylewindows.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace tessaro::ui {

class Tadvopt : public QDialog {
    Q_OBJECT
  public:
    Tadvopt(model::Document& doc, PickFileFn pickFile, QWidget* parent = nullptr);

    // Shows the section `kind` has (none: nothing is shown) modally for entry
    // doc.EditIndex, centred on the desktop. Returns whether it was shown.
    bool OpenFor(const std::string& kind);
    // Hides both panels and shows the one of `section`, fitting the window.
    void ShowSection(images::AdvancedSection section);

    QWidget* Panel1 = nullptr;
    QLabel* Label1 = nullptr;            // "Backgroud Image"
    QToolButton* SpeedButton1 = nullptr; // picture button
    QPushButton* Button1 = nullptr;      // "Del"
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button2 = nullptr; // "Use transparent background"
    QPushButton* Button3 = nullptr; // "Don't use transparent background"
    QWidget* Panel2 = nullptr;
    QLabel* Label2 = nullptr; // "Icons Count"
    QSpinBox* SpinEdit1 = nullptr;

  private:
    void SpeedButton1Click();

    model::Document& doc_;
    PickFileFn pickFile_;
};

} // namespace tessaro::ui
