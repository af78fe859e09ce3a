#pragma once
// The crop window "Select part of image.": a frameless window filling the
// screen's work area, the picture in a scrolling area with the 176 : 200
// selection frame and its resize handle, and a bottom strip with "OK" and
// "Cancel". Escape is the same as "Cancel".
#include <QDialog>
#include <optional>

#include "images/crop.h"
#include "platform/bitmap.h"

class QPushButton;
class QScrollArea;

namespace tessaro::ui {

class CropCanvas;

class TBGImageForm : public QDialog {
    Q_OBJECT
  public:
    explicit TBGImageForm(QWidget* parent = nullptr);
    ~TBGImageForm() override;

    // Shows the window modally over `picture`; returns the 176 x 200 result
    // when the user pressed "OK", nothing when the window was cancelled.
    std::optional<platform::Bitmap> Crop(const platform::Bitmap& picture);

    // Puts the picture in place and resets the frame (FormShow); for callers
    // that show the window themselves.
    void SetPicture(const platform::Bitmap& picture);

    const images::CropFrame& Frame() const { return frame_; }
    // The result of the last "OK".
    const platform::Bitmap& Result() const { return result_; }

    // Controls, named as their roles.
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* Image1 = nullptr; // the picture
    QWidget* Shape1 = nullptr; // frame
    QWidget* Shape2 = nullptr; // handle
    QWidget* Panel1 = nullptr;
    QPushButton* Button1 = nullptr; // "OK"
    QPushButton* CancelButton = nullptr;

    // Mouse handlers (positions relative to the shape under the pointer).
    void Shape1MouseDown(int x, int y);
    void Shape1MouseMove(int x, int y, bool leftDown);
    void Shape2MouseDown();
    void Shape2MouseMove(int x, bool leftDown);
    void Button1Click();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void SyncShapes();

    CropCanvas* canvas_ = nullptr;
    images::CropFrame frame_;
    platform::Bitmap picture_;
    platform::Bitmap result_;
};

} // namespace tessaro::ui
