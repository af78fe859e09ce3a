#pragma once
// The icon bar window's state and handlers, without widgets. The window binds
// its controls to an IconBarStyle and calls these handlers; every handler
// works on entry doc.EditIndex and draws through the preview's icon bar
// renderers, whose bar images the window shows.
#include <optional>
#include <string>

#include "model/document.h"
#include "platform/bitmap.h"

namespace tessaro::preview {

class Preview;
class IconBar;

inline constexpr const char* kPictureSize176x20 = "Picture Size Must Be 176x20.";
inline constexpr const char* kBitmapsFilter = "Bitmaps|*.bmp";

enum IconBarStyleIndex : int { kStyleNormal = 0, kStyleAdvanced = 1, kStyleCustom = 2 };
enum IconBarSwatch : int { kSwatchColor1 = 0, kSwatchColor2 = 1, kSwatchTextColor = 2 };

class IconBarStyle {
  public:
    explicit IconBarStyle(Preview& preview);

    // The controls' values. They live as long as the window and keep their
    // values between openings.
    int Style = kStyleNormal;  // RadioGroup1: 0 Normal, 1 Advanced, 2 Custom
    bool Transparent = false;  // CheckBox1
    bool LevelEnabled = false; // ScrollBar1, 0..255
    int Level = 0;
    int Template = 1; // SpinEdit1 "Template #", 1..6

    // The swatches show the scheme's COLOR_TRAY1, COLOR_TRAY2, COLOR_TRAYICONS.
    model::Color SwatchColor(int which) const;

    // Opening: style, transparent box and template number from the entry (a
    // control whose value changes runs its handler); the level bar keeps its
    // position. Then the chosen style's bar is drawn (a Custom bar only when
    // the entry has a picture).
    void Open();

    // Style chosen. Normal: slot 1 X := 0, Y := 1; ticked at level 255 makes
    // the bar fully transparent (Transparent, no BgImage); unticked clears
    // the transparency and BgImage := "iconbar.jpg"; draws. Advanced: draws
    // template slot 1 Y, BgImage := "iconbar.jpg", slot 1 X := 1. Custom:
    // nothing is stored until a picture is loaded.
    void StyleChosen(int style);

    // "Template #": slot 1 Y := value (1..6); redraw by style.
    void TemplateChanged(int value);

    // The transparent box changed to `ticked`. Ticking in a scrollable layout
    // shows the transparency message and unticks the box again. Ticked: level
    // bar enabled and at 0, Transparent := true. Unticked: level bar
    // disabled, Transparent := false, TransparencyLevel := 0. Redraw by style.
    void TransparentChanged(bool ticked);
    // The mouse button released over the ticked box: a tick by mouse starts
    // from level 0 (TransparencyLevel and the level bar), and the bar is drawn
    // again.
    void TransparentMouseReleased();

    // The level bar moved by the user: TransparencyLevel := position (0..255);
    // below 255 the bar is a picture again (BgImage := "iconbar.jpg"). Redraw
    // by style.
    void LevelMoved(int position);

    // A swatch was clicked and the colour dialog closed with `colour` (nothing
    // when cancelled): the scheme colour takes it. Redraw by style either way.
    void SwatchChosen(int which, std::optional<model::Color> colour);

    // "Load Image" with the file chosen in the open dialog (nothing when
    // cancelled: no change). A picture of exactly 176 x 20 is saved as a
    // bitmap in the program folder under its file name (with ".bmp" as its
    // extension), the entry becomes Custom style (slot 1 X := 2, Y := 1,
    // BgImage := "iconbar.jpg", CustomImage := that name) and is drawn.
    // Throws Error "Picture Size Must Be 176x20." for any other size, for a
    // name holding a control character or naming one of the program's own
    // files, and the loader's or writer's Error; the entry is then unchanged.
    void LoadImage(const std::optional<std::string>& path);

    // Runs the renderer of the chosen style for EditIndex.
    void RedrawByStyle();

    // The renderers and their bar images.
    IconBar& Bars();

    // The bar image of the chosen style (Image3, Image1 or Image2).
    const platform::Bitmap& ShownBar() const;

  private:
    model::Document& doc();
    model::TPlugins& entry();

    Preview& p_;
};

} // namespace tessaro::preview
