#pragma once
// The icon bar renderers and the three bar images of the icon bar window.
//
// Colours are the scheme's: Color1 = COLOR_TRAY1, Color2 = COLOR_TRAY2, the
// tray icons COLOR_TRAYICONS. Each renderer, for entry e of the document:
//   1. reads every picture it needs (template / custom picture, tray icons);
//      a missing or bad file throws Error and nothing is changed;
//   2. builds the backdrop: white when the layout is scrolled, otherwise the
//      background view's rows Top(e) .. Top(e) + 19;
//   3. builds the bar and, when the entry is Transparent, blends it per channel
//      round(B * L / 255 + G * (255 - L) / 255) with the backdrop
//      (L = TransparencyLevel), else takes it as it is;
//   4. writes doc.AppDir + "iconbar.jpg" (quality 100; 85 for Custom) holding
//      the bar without tray icons (throws Error when it cannot);
//   5. stores the bar with the tray icons at columns 136..175 in its image.
#include <string>

#include "formats/names.h"
#include "platform/bitmap.h"

namespace tessaro::preview {

class Preview;

inline constexpr const char* kIconBarJpeg = formats::kIconBarPicture;
constexpr int kBarWidth = 176;
constexpr int kBarHeight = 20;

// The bar pictures before any JPEG round trip (per channel, halves to even):
// Normal: G(x) = round((1 - t) * c1 + t * c2), t = x / 176, in double
// precision.
platform::Bitmap NormalBar(model::Color c1, model::Color c2);
// Advanced: a template's 176 x 20 area recoloured through its blue byte v:
// round((c2 * (255 - v) + c1 * v) / 255); pixels outside the template read
// as black (v = 0).
platform::Bitmap AdvancedBar(const platform::Bitmap& tpl, model::Color c1, model::Color c2);
// Transparent blend of a 176 x 20 bar with its backdrop at `level` (0..255):
// round((B * level + G * (255 - level)) / 255).
void BlendBar(platform::Bitmap& bar, const platform::Bitmap& backdrop, int level);

class IconBar {
public:
    explicit IconBar(Preview& preview);

    // Normal: a horizontal gradient from Color1 (column 0) towards Color2,
    // G(x) = round((1 - t) * c1 + t * c2) per channel, t = x / 176 in double
    // precision, halves to even. Also paints the gradient on the preview's
    // work canvas rows 0..19 unless the entry is transparent at level 255.
    // Result in Image3.
    void DrNr(int e);

    // Advanced: template "IconBars/<n>.bmp" recoloured through its blue byte v:
    // round((Color2 * (255 - v) + Color1 * v) / 255). Result in Image1 (as the
    // written JPEG decodes).
    void DrAdv(int n, int e);

    // Custom: the entry's CustomImage (176 x 20 area). Result in Image2 (as
    // the written JPEG decodes). An empty CustomImage fails like a missing file.
    void DrCustom(int e);

    // "TrayIcons.bmp" (its top-left 40 x 20) with 0xFFFFFE pixels recoloured to
    // `colour`. Key pixels 0x000001 are kept, to be left out when drawn.
    platform::Bitmap TrayIcons(model::Color colour) const;

    // While a preview pass runs (the program folder is locked, its support
    // pictures do not change) the recoloured tray strip is made once for all
    // the pass's bars, and bars that encode to the bytes the pass already
    // wrote to "iconbar.jpg" leave the file alone; outside a pass every call
    // reads the picture and checks the file again.
    void BeginPass();
    void EndPass();

    // Draws a tray strip from TrayIcons() at (136, 0)-(176, 20) of `bar`,
    // leaving out 0x000001 pixels.
    static void DrawTray(platform::Bitmap& bar, const platform::Bitmap& tray);

    // The bar as the last written "iconbar.jpg" decodes (no tray icons).
    // Decoded on first use after each write that changed the bytes.
    const platform::Bitmap& LastWritten() const;

    platform::Bitmap Image3; // Normal style bar, 176 x 20
    platform::Bitmap Image1; // Advanced style bar, 176 x 20
    platform::Bitmap Image2; // Custom style bar, 176 x 20

private:
    platform::Bitmap Backdrop(int e);
    platform::Bitmap Gradient(model::Color c1, model::Color c2);
    void Finish(int e, platform::Bitmap bar, int quality, bool showDecoded,
                platform::Bitmap& image, const platform::Bitmap& tray);

    Preview& p_;
    std::string lastData_;                 // the bytes last written to "iconbar.jpg"
    mutable platform::Bitmap lastWritten_; // lastData_ decoded, once decoded_
    mutable bool decoded_ = true;

    // The pass's tray strip (inPass_ only) and the last gradient made.
    bool inPass_ = false;
    bool passWrote_ = false; // "iconbar.jpg" holds lastData_, written this pass
    mutable bool trayKept_ = false;
    mutable model::Color trayColour_ = 0;
    mutable platform::Bitmap tray_;
    bool gradientKept_ = false;
    model::Color gradient1_ = 0, gradient2_ = 0;
    platform::Bitmap gradient_;
};

} // namespace tessaro::preview
