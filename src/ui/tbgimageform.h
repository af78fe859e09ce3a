#pragma once
// The crop window "Select part of image.": a frameless window filling the
// screen's work area, the picture in a scrolling area with the 176 : 200
// selection frame and its resize handle, and a bottom strip with "OK" and
// "Cancel". Escape is the same as "Cancel". The picture is shown at a zoom:
// fitted to the window when it is larger than the window, else 1:1, with
// steps in between; the frame and its rules work in picture coordinates.
#include <QDialog>
#include <optional>

#include "images/crop.h"
#include "images/cropzoom.h"
#include "platform/bitmap.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

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

    // The zoom of the picture; the frame keeps its place on the picture and
    // stays in sight. ZoomToFit: the picture as large as the scrolling area
    // shows it whole (never above 1:1).
    void SetZoom(images::CropZoom zoom);
    const images::CropZoom& Zoom() const { return zoom_; }
    void ZoomToFit();
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
    QToolButton* ZoomFitButton = nullptr;
    QToolButton* ZoomOneButton = nullptr; // 1:1
    QToolButton* ZoomOutButton = nullptr;
    QToolButton* ZoomInButton = nullptr;
    QLabel* ZoomLabel = nullptr;

    // Mouse handlers (positions in picture pixels relative to the frame or
    // the handle under the pointer; at 1:1 these are the shape's own).
    void Shape1MouseDown(int x, int y);
    void Shape1MouseMove(int x, int y, bool leftDown);
    void Shape2MouseDown();
    void Shape2MouseMove(int x, bool leftDown);
    void Button1Click();

  protected:
    void showEvent(QShowEvent* e) override;

  private:
    void SyncShapes();
    bool PictureLargerThanArea() const;

    CropCanvas* canvas_ = nullptr;
    images::CropFrame frame_;
    platform::Bitmap picture_;
    platform::Bitmap result_;
    images::CropZoom zoom_;
};

} // namespace tessaro::ui
