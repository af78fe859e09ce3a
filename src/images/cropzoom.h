#pragma once
// How the crop window shows its picture: an exact ratio of view pixels to
// picture pixels. The frame, the handle and every rule of the crop arithmetic
// stay in picture coordinates; only the drawing and the pointer go through
// this ratio, so a cut at any zoom is the same pixels as at 1:1.
#include "images/crop.h"

namespace tessaro::images {

class CropZoom {
  public:
    // num / den view pixels per picture pixel; both are brought to at least 1.
    constexpr CropZoom(int num = 1, int den = 1)
        : num_(num > 0 ? num : 1), den_(den > 0 ? den : 1) {}

    // The largest ratio (at most 1:1) at which a picture of the given size
    // fits into the area; 1:1 for an empty picture or area.
    static CropZoom Fit(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight);

    // The next larger / smaller of the fixed steps (1:16 .. 4:1); a ratio
    // between two steps goes to the nearer one in that direction. The largest
    // and smallest steps stay.
    CropZoom In() const;
    CropZoom Out() const;

    int Num() const { return num_; }
    int Den() const { return den_; }
    bool IsOne() const { return num_ == den_; }
    // Percent, rounded down, for the window's caption.
    int Percent() const;

    // Picture position -> view position (the view pixel that holds the
    // picture pixel's top-left corner) and view position -> the picture pixel
    // under it. Both round towards minus infinity.
    int ToView(int picture) const;
    int ToPicture(int view) const;
    Rect ToView(const Rect& r) const;

    bool operator==(const CropZoom& o) const {
        return (long long)num_ * o.den_ == (long long)o.num_ * den_;
    }

  private:
    int num_;
    int den_;
};

} // namespace tessaro::images
