#pragma once
// Small controls the designer's windows are built from: line edits that
// commit on leaving and on Enter, number fields with arrow buttons, colour
// swatches, raster surfaces showing a platform::Bitmap, and the button
// pictures.
#include <QFrame>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QWidget>

#include "platform/bitmap.h"

class QToolButton;

namespace tessaro::ui {

// A line edit that reports `committed` when it loses the focus and when
// Enter is pressed in it.
class CommitEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CommitEdit(QWidget* parent = nullptr);

signals:
    void committed();
    void stepped(int delta);

protected:
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    // Number fields refuse every character but digits, signs, the decimal
    // separator and control characters (Enter included, which still commits).
    bool numeric_ = false;
    friend class NumberField;
};

// A whole-number field with up and down arrows (41 x 22 in the windows).
class NumberField : public QWidget {
    Q_OBJECT
public:
    explicit NumberField(QWidget* parent = nullptr);
    CommitEdit* Edit() const { return edit_; }
    QString text() const;
    // Sets the text without reporting an edit.
    void SetText(const QString& text);

signals:
    void edited(const QString& text); // typed by the user
    void committed();
    void stepped(int delta);          // an arrow or the Up/Down key

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    CommitEdit* edit_;
    QToolButton* up_;
    QToolButton* down_;
};

// A colour swatch that asks for a new colour on a mouse press.
class ColorSwatch : public QFrame {
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget* parent = nullptr);
    void SetColor(QColor c);
    QColor Color() const { return color_; }

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    QColor color_ = Qt::black;
};

// Shows a raster surface. With `whiteIsClear` pure white pixels are left out
// so what lies beneath shows through.
class SurfaceView : public QWidget {
    Q_OBJECT
public:
    explicit SurfaceView(bool whiteIsClear, QWidget* parent = nullptr);
    void SetBitmap(const platform::Bitmap& bmp);
    const QImage& Image() const { return image_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    bool whiteIsClear_;
    QImage image_;
};

// Conversions between the document's 0x00BBGGRR colours and Qt's.
QColor ToQColor(model::Color c);
model::Color FromQColor(const QColor& c);
QImage ToQImage(const platform::Bitmap& bmp);

// Text of the document (Windows-1251 bytes) and of the window (QString).
QString FromDoc(const std::string& bytes);
std::string ToDoc(const QString& text);

// The application font the windows are laid out for: a small sans face
// close to the 8-point dialog font the window geometry assumes.
void UseDesignerFont();

// The button pictures, drawn at start.
enum class Picture { Add, Up, Down, Remove, Background, Options, Undo, Redo };
QIcon ButtonPicture(Picture p);

} // namespace tessaro::ui
