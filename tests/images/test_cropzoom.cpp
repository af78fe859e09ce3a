// The crop window's zoom: fitting, steps, and the mapping between view and
// picture pixels that the frame's rules rely on.
#include <gtest/gtest.h>

#include "images/cropzoom.h"

using tessaro::images::CropZoom;
using tessaro::images::Rect;

TEST(CropZoom, FitShowsTheWholePictureAndNeverEnlarges) {
    for (auto [w, h] : {std::pair{4000, 3000}, {1500, 1300}, {3000, 9000}, {801, 300}}) {
        const CropZoom z = CropZoom::Fit(w, h, 800, 560);
        EXPECT_LE(z.ToView(w), 800) << w << " x " << h;
        EXPECT_LE(z.ToView(h), 560) << w << " x " << h;
        // One step larger would not fit.
        EXPECT_TRUE(z.ToView(w) >= 799 || z.ToView(h) >= 559) << w << " x " << h;
    }
    EXPECT_TRUE(CropZoom::Fit(300, 250, 800, 560).IsOne());
    EXPECT_TRUE(CropZoom::Fit(0, 0, 800, 560).IsOne());
}

TEST(CropZoom, StepsGoThroughFixedRatiosAndStopAtTheEnds) {
    CropZoom z;
    EXPECT_EQ(z.In(), CropZoom(3, 2));
    EXPECT_EQ(z.Out(), CropZoom(2, 3));
    // A fitted ratio between two steps goes to the nearer step each way.
    const CropZoom fit(800, 1500);
    EXPECT_EQ(fit.In(), CropZoom(2, 3));
    EXPECT_EQ(fit.Out(), CropZoom(1, 2));
    CropZoom big;
    for (int k = 0; k < 20; ++k)
        big = big.In();
    EXPECT_EQ(big, CropZoom(4, 1));
    CropZoom small;
    for (int k = 0; k < 20; ++k)
        small = small.Out();
    EXPECT_EQ(small, CropZoom(1, 16));
    EXPECT_EQ(CropZoom(1, 3).Percent(), 33);
}

TEST(CropZoom, ViewAndPictureMappingRoundsDownAndRoundTrips) {
    const CropZoom third(1, 3), twice(2, 1);
    for (int p : {0, 1, 2, 3, 100, 1499}) {
        EXPECT_EQ(twice.ToPicture(twice.ToView(p)), p);
        EXPECT_EQ(twice.ToPicture(twice.ToView(p) + 1), p) << "both view pixels of a picture pixel";
        EXPECT_LE(third.ToPicture(third.ToView(p)), p);
        EXPECT_GT(third.ToPicture(third.ToView(p)) + 3, p);
    }
    EXPECT_EQ(third.ToPicture(-1), -3) << "left of the picture stays left of it";
    EXPECT_EQ(third.ToView(Rect{30, 60, 176, 200}), (Rect{10, 20, 58, 66}));
}
