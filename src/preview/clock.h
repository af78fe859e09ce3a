#pragma once
// The analog clock window's fields as a core object, and Dr, which draws the
// clock picture (and, for an advanced face, burns the face into the
// background and writes "BackGroundImage with Analog Plugin.jpg").
#include "model/document.h"
#include "platform/bitmap.h"

namespace tessaro::preview {

class Preview;

// A number field with up and down buttons: its value always lies within
// Min..Max (a larger or smaller value is clamped when set; a maximum below
// the minimum behaves as the minimum).
struct SpinField {
    int Value = 0;
    int Min = 0;
    int Max = 0;
    bool Enabled = true;

    // Clamps and stores; returns true when the value changed.
    bool Set(int v);
    // Changes the maximum and clamps the value to it.
    void SetMax(int m);
};

constexpr int kFaceNone = 0;
constexpr int kFaceAdvanced = 1;

class Clock {
public:
    explicit Clock(Preview& preview);

    // Fields, with their ranges and start values.
    SpinField Size{40, 14, 176};       // "Size": clock width and height
    SpinField XPosition{0, 0, 136};    // "X Position": at most 176 - size
    SpinField HourWidth{1, 1, 10};     // "Hour Arrow Width"
    SpinField MinuteWidth{1, 1, 10};   // "Minute Arrow Width"
    SpinField Length{70, 1, 100};      // "Arrows Length" in percent
    SpinField Template{1, 1, 6};       // "Templatr #"
    int FaceStyle = kFaceNone;         // 0 None, 1 Advanced
    model::Color HourColor = 0;
    model::Color MinuteColor = 0;
    model::Color FaceColor = 0x00FFFF00; // aqua

    // Sets the size (clamped) and applies the size-changed rule: the X
    // position maximum becomes 176 - size (a larger X position is lowered);
    // when that maximum is 0 the X position is 0 and disabled, otherwise
    // enabled. Returns true when the size changed.
    bool SetSize(int v);

    // The size maximum for the face style `faceStyle`: Advanced with a height
    // field maximum m: m >= 176 ? min(176, 200 - top) : m; None: 176. The size
    // is clamped to it (and the size-changed rule applied).
    static int SizeMaximum(int faceStyle, int heightFieldMax, int top);
    void ApplySizeMaximum(int heightFieldMax, int top);

    // Loads the fields from an entry in the window's order (size, X position,
    // hour width, minute width, face style, template, length, hour colour,
    // minute colour, face colour), each through its range.
    void Load(const model::TPlugins& e);
    // Stores the fields into an entry (size into Height).
    void Store(model::TPlugins& e) const;

    // Draws the clock of entry e (only its Top is read from the entry) from
    // the fields into Image1 (176 x size):
    //  - restores the preview's background view from its file;
    //  - backdrop: white when the layout is scrolled, else the background
    //    view's rows Top .. Top + size - 1;
    //  - Advanced: "Faces/<template>.bmp" scaled to size x size (nearest,
    //    source round(x * k), k = 176 / size in double precision, halves to
    //    even) and coloured: each channel round((B * v + F * (255 - v)) / 255),
    //    v the template's blue byte, F the face colour (white as 0xFFFFFE),
    //    at X position; then burned into the background view, the view
    //    written as JPEG q100 to doc.AppDir + "BackGroundImage with Analog
    //    Plugin.jpg" (the document is not changed: the pass's Normalise and
    //    the clock window name that picture as doc.BGI);
    //  - hands from the centre (P + c, c), c = size div 2: hour to
    //    (P + c + round(c * L * 0.75 / 100), c), minute to
    //    (P + c, round(c - L * c / 100)); end points left out; white drawn as
    //    0xFFFFFE.
    // A missing background or face throws Error; the fields and the entry
    // are unchanged then.
    void Dr(int e);

    platform::Bitmap Image1; // the clock picture, 176 x Size

private:
    Preview& p_;
};

} // namespace tessaro::preview
