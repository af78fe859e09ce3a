#include "images/cropzoom.h"

#include <array>

namespace tessaro::images {

namespace {

constexpr std::array<CropZoom, 12> kSteps = {CropZoom(1, 16), CropZoom(1, 8), CropZoom(1, 6),
                                             CropZoom(1, 4),  CropZoom(1, 3), CropZoom(1, 2),
                                             CropZoom(2, 3),  CropZoom(1, 1), CropZoom(3, 2),
                                             CropZoom(2, 1),  CropZoom(3, 1), CropZoom(4, 1)};

// a < b for ratios.
bool Less(const CropZoom& a, const CropZoom& b) {
    return (long long)a.Num() * b.Den() < (long long)b.Num() * a.Den();
}

long long FloorDiv(long long a, long long b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

} // namespace

CropZoom CropZoom::Fit(int pictureWidth, int pictureHeight, int areaWidth, int areaHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0 || areaWidth <= 0 || areaHeight <= 0)
        return {};
    CropZoom z(areaWidth, pictureWidth);
    const CropZoom byHeight(areaHeight, pictureHeight);
    if (Less(byHeight, z))
        z = byHeight;
    if (Less(CropZoom(1, 1), z))
        z = CropZoom(1, 1);
    return z;
}

CropZoom CropZoom::In() const {
    for (const CropZoom& s : kSteps)
        if (Less(*this, s))
            return s;
    return kSteps.back();
}

CropZoom CropZoom::Out() const {
    for (auto it = kSteps.rbegin(); it != kSteps.rend(); ++it)
        if (Less(*it, *this))
            return *it;
    return kSteps.front();
}

int CropZoom::Percent() const {
    return int(100LL * num_ / den_);
}

int CropZoom::ToView(int picture) const {
    return int(FloorDiv((long long)picture * num_, den_));
}

int CropZoom::ToPicture(int view) const {
    return int(FloorDiv((long long)view * den_, num_));
}

Rect CropZoom::ToView(const Rect& r) const {
    const int left = ToView(r.Left), top = ToView(r.Top);
    return {left, top, ToView(r.Right()) - left, ToView(r.Bottom()) - top};
}

} // namespace tessaro::images
