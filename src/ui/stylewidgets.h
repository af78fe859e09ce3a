#pragma once
// Small pieces the style windows share besides the designer's common
// controls (ui/widgets.h): showing a core bitmap, the open dialog's filter in
// Qt's form, and running a handler so that its failure is shown in a message
// box.
#include <QLabel>
#include <QSpinBox>
#include <functional>
#include <string>

#include "model/document.h"
#include "platform/bitmap.h"
#include "ui/widgets.h"

namespace tessaro::ui {

// A copy of `image` as a core bitmap.
platform::Bitmap FromQImage(const QImage& image);

// The open dialog's filter as the designer writes it ("Bitmaps|*.bmp") in
// the form Qt's dialogs take ("Bitmaps (*.bmp)").
QString QtFileFilter(const std::string& filter);

// Runs `handler`; an error it throws is shown in a modal message box with the
// error's own text, and false is returned.
bool RunHandler(QWidget* parent, const std::function<void()>& handler);
void ShowMessage(QWidget* parent, const QString& text);

// A number field with arrows whose typed text may go past its bounds while it
// is being typed; on Enter or leaving the field the number is brought within
// the bounds, as the designer's other number fields do (80 in a field of
// 14..40 becomes 40, not 8). Only digits and a sign can be typed.
class BoundedSpinBox : public QSpinBox {
    Q_OBJECT
  public:
    explicit BoundedSpinBox(QWidget* parent = nullptr);
    // The text as typed, also while it lies outside the bounds.
    QString TypedText() const;

  signals:
    void typed(const QString& text);

  protected:
    QValidator::State validate(QString& text, int& pos) const override;
    void fixup(QString& text) const override;
};

// A label that shows a core bitmap at its natural size.
class BitmapView : public QLabel {
    Q_OBJECT
  public:
    explicit BitmapView(QWidget* parent = nullptr);
    void Show(const platform::Bitmap& bmp);
};

} // namespace tessaro::ui
