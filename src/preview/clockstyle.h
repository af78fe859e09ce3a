#pragma once
// The analog clock window's handlers, without widgets. The fields themselves
// are the preview's clock object (the preview loads them from each clock it
// draws); this adds what only the window has: the advanced panel, the size
// label, and the handlers that work on entry doc.EditIndex.
#include <optional>
#include <string>

#include "model/document.h"

namespace tessaro::preview {

class Preview;
class Clock;

inline constexpr const char* kNoAdvancedFaceScrollable =
    "You are not able to use advanced faces when your layout is scrollable";

enum ClockSwatch : int { kSwatchHourHand = 0, kSwatchMinuteHand = 1, kSwatchFace = 2 };

class ClockStyle {
  public:
    explicit ClockStyle(Preview& preview);

    Clock& Fields();
    model::Document& Doc();

    // The panel with the template number and the face colour.
    bool AdvancedPanelVisible = false;
    // " x" followed by the size as typed.
    std::string SizeLabel = " x40";

    // Opening with the main window's height field maximum: the size maximum
    // for the entry's face style, then the fields from the entry in the
    // window's order (each through its range; a face style that changes runs
    // its check), the size maximum for the loaded face style, and Dr.
    void Open(int heightFieldMax);

    // The size field's text changed: the label follows; a non-empty number
    // sets the size (the X position maximum follows it).
    void SizeTextChanged(const std::string& text);

    // Face style chosen. Advanced in a scrollable layout shows the message
    // and returns to None. The size maximum follows the style, then Dr.
    void FaceStyleChosen(int style, int heightFieldMax);

    // The size maximum for the current face style and the entry's Top.
    void ApplySizeMaximum(int heightFieldMax);

    // Enter in, or leaving, a number field: Dr.
    void FieldCommitted();
    // The template number changed: Dr.
    void TemplateChanged(int value);

    // A swatch was clicked and the colour dialog closed with `colour` (nothing
    // when cancelled): the swatch takes it. Dr either way.
    void SwatchChosen(int which, std::optional<model::Color> colour);
    model::Color SwatchColor(int which);

    // "OK": the fields into the entry (size into Height). Returns the size,
    // which the main window puts into its height field.
    int Ok();

    // Dr for EditIndex.
    void Draw();

  private:
    model::TPlugins& entry();
    int top();

    Preview& p_;
};

} // namespace tessaro::preview
