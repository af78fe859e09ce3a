#pragma once
// "Selected/Unselected State Options": edits the document's default state
// formats (default mode) or those of one element held in doc.EditItem
// (element mode). Every change is written through at once.
#include <QDialog>
#include <functional>
#include <optional>

#include "model/document.h"
#include "package/schemes.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace tessaro::ui {

class ColorSwatch;

class TSelOption : public QDialog {
    Q_OBJECT
public:
    // Asks the user for a colour starting from `initial`; nothing on cancel.
    using PickColorFn = std::function<std::optional<QColor>(const QColor& initial)>;

    TSelOption(model::Document& doc, PickColorFn pickColor, QWidget* parent = nullptr);

    // Prepare the window for its mode; the caller then shows it with exec().
    void LoadDefaultFormats();
    void LoadElementFormats(const std::string& caption);

    package::StateFormats& State() { return state_; }

    QLabel* CaptionLabel;
    QSpinBox* FontSizeSpin;
    QComboBox* FontWeightBox;
    ColorSwatch* Shape1;
    QLabel* Label5;
    ColorSwatch* Shape2;
    QCheckBox* CheckBox2;
    QComboBox* UnselFontWeightBox;
    ColorSwatch* Shape3;
    QPushButton* Button2;
    QPushButton* Button1;

private:
    void ShowState();
    void Pick(ColorSwatch* swatch, void (*apply)(model::Document&, package::StateFormats&,
                                                  model::Color));

    model::Document& doc_;
    PickColorFn pickColor_;
    package::StateFormats state_;
    bool loading_ = false;
};

} // namespace tessaro::ui
