#pragma once
// The racing car that every car picture is rendered from: a small 3D model (body, cabin with
// windows, wheels, tail lights, rear wing), flat-shaded and projected from behind and slightly
// above. Used by the car pictures, the icon and the result pictures.

#include <span>

#include "canvas.h"

// The colours of one car of the field.
struct CarLivery {
    Colour body;
    Colour stripe;
};

// Where a car lands on a canvas: output pixels per model unit across and up, and the screen
// point of the car's centre on the ground.
struct CarFraming {
    float scaleX = 1;
    float scaleY = 1;
    float centreX = 0;
    float groundY = 0;
};

// The framing that fits the car, turned by each of `yawDegrees`, into a width x height picture:
// one scale for all of them, centred across, wheels on the bottom row. `squash` < 1 draws the car
// lower than its true proportions (the race draws every car into a 2:1 box).
CarFraming fitCarViews(std::span<const float> yawDegrees, float width, float height, float squash);

// Paints the car turned by `yawDegrees` (positive: its nose towards the right of the screen) onto
// the canvas with depth-tested, flat-shaded polygons. The ground shadow is painted too.
void renderCar(Canvas &canvas, const CarLivery &livery, float yawDegrees, const CarFraming &framing);
