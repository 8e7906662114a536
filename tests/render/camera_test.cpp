// The camera's projection of objects' boxes: centred on the projected centre, made whole by
// rounding halves upwards (negative values truncated towards zero), and nothing for boxes behind
// the camera or too far out to be whole numbers; road corners truncated; both at every drawing
// scale, made whole only after the scale.
#include <gtest/gtest.h>

#include <limits>

#include "render/camera.h"

namespace {

struct BoxCase {
    const char* what;
    Camera camera;
    Vec3 centre;
    float width, height;
    bool drawn;
    PixelRect expected;
};

} // namespace

TEST(Camera, ObjectBoxesAreCentredAndRoundedOrLeftOut)
{
    constexpr float huge = 1.0e30f;
    const BoxCase cases[] = {
        {"straight ahead at depth 128", {5, 7, 100}, {5, 7, 228}, 64, 64, true, {240, 180, 160, 120}},
        {"left edge -2.5 truncates to -2", {}, {-97, 0, 128}, 64, 64, true, {-2, 180, 160, 120}},
        {"left edge 2.5 goes up to 3", {}, {-95, 0, 128}, 64, 64, true, {3, 180, 160, 120}},
        {"depth exactly 1", {}, {0, 0, 1}, 0.01f, 0.01f, true, {318, 239, 3, 2}},
        {"just inside 2^30 pixels", {}, {0, 0, 1}, 3e6f, 1, true, {-479999680, 120, 960000000, 240}},
        {"depth 0.5", {}, {0, 0, 0.5f}, 0.01f, 0.01f, false, {}},
        {"behind the camera", {}, {0, 0, -100}, 64, 64, false, {}},
        {"1.6e9 pixels wide", {}, {0, 0, 1}, 5e6f, 1, false, {}},
        {"corner far to the right", {}, {huge, 0, 1}, 64, 64, false, {}},
        {"corner far below", {}, {0, -huge, 1}, 64, 64, false, {}},
        {"height not finite", {}, {0, 0, 1}, 64, std::numeric_limits<float>::infinity(), false, {}},
        // At a drawing scale every value is the scale times the screen's, made whole once.
        {"scale 3: left edge -7.5 truncates to -7",
         {0, 0, 0, 3},
         {-97, 0, 128},
         64,
         64,
         true,
         {-7, 540, 480, 360}},
        {"scale 2: left edge 5", {0, 0, 0, 2}, {-95, 0, 128}, 64, 64, true, {5, 360, 320, 240}},
        {"scale 3: depth exactly 1", {0, 0, 0, 3}, {0, 0, 1}, 0.01f, 0.01f, true, {955, 716, 10, 7}},
    };
    for (const BoxCase& c : cases) {
        PixelRect box{1, 2, 3, 4};
        const bool drawn = objectScreenRect(c.camera, c.centre, c.width, c.height, &box);
        EXPECT_EQ(drawn, c.drawn) << c.what;
        const PixelRect expected = c.drawn ? c.expected : PixelRect{1, 2, 3, 4};
        EXPECT_EQ(box.x, expected.x) << c.what;
        EXPECT_EQ(box.y, expected.y) << c.what;
        EXPECT_EQ(box.w, expected.w) << c.what;
        EXPECT_EQ(box.h, expected.h) << c.what;
    }
}

TEST(Camera, RoadCornersAreTruncatedOnceAtTheDrawingScale)
{
    // One unit right and 0.5 up at depth 3: x = 320 + 320 / 3 = 426.67, y = 240 - 40 = 200.
    const Camera one{};
    const Camera two{0, 0, 0, 2};
    EXPECT_EQ(roadScreenX(one, 1, 3), 426.0f);
    EXPECT_EQ(roadScreenX(two, 1, 3), 853.0f) << "not twice the truncated 426";
    EXPECT_EQ(roadScreenY(one, 0.5f, 3), 200.0f);
    EXPECT_EQ(roadScreenY(two, 0.5f, 3), 400.0f);
}
