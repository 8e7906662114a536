// The cars of the field: one model in four liveries, seen from behind in seven directions.
#include <array>

#include "car_model.h"
#include "pictures.h"

namespace
{

// Picture size of every car view. The race stretches a car to 600 x 400 world units, which the
// projection shows twice as wide as high; a car right in front of the camera is 128 x 64 pixels,
// so that car is drawn unscaled and every farther one from a reduction.
constexpr int carWidth = 128;
constexpr int carHeight = 64;

// View name endings from hard left to hard right, and the turn each shows (degrees, positive:
// the nose points right). Steps of 5 degrees read clearly while the car stays recognisable.
constexpr std::array<const char *, 7> viewSuffixes = {"_lll", "_ll", "_l", "", "_r", "_rr", "_rrr"};
constexpr std::array<float, 7> viewYaws = {-15, -10, -5, 0, 5, 10, 15};

const std::array<CarLivery, 4> liveries = {{
    {hexColour(0xD0201A), hexColour(0xF2F2F2)}, // red with a white stripe
    {hexColour(0x1F4FCC), hexColour(0xF2F2F2)}, // blue with a white stripe
    {hexColour(0xF0B818), hexColour(0x1C1C1C)}, // yellow with a black stripe
    {hexColour(0x1E9A44), hexColour(0xF5E6A0)}, // green with a cream stripe
}};

constexpr float carSquash = 0.62f;

Picture paintCarView(const CarLivery &livery, float yaw, int width, int height, int scale)
{
    const CarFraming framing = fitCarViews(viewYaws, static_cast<float>(width), static_cast<float>(height), carSquash);
    Canvas canvas(width, height, 4, scale);
    renderCar(canvas, livery, yaw, framing);
    Picture picture = canvas.resolve(true);
    darkenSilhouette(picture, 0.6f, scale);
    return picture;
}

} // namespace

std::vector<NamedPicture> paintCars(int scale)
{
    std::vector<NamedPicture> pictures;
    for (size_t colour = 0; colour < liveries.size(); ++colour) {
        for (size_t view = 0; view < viewSuffixes.size(); ++view) {
            pictures.push_back({"car/car" + std::to_string(colour + 1) + viewSuffixes[view] + ".bmp",
                                paintCarView(liveries[colour], viewYaws[view], carWidth, carHeight, scale)});
        }
    }
    return pictures;
}

Picture paintIcon(int size)
{
    const float yaw[] = {-20};
    CarFraming framing = fitCarViews(yaw, static_cast<float>(size), static_cast<float>(size), 1.0f);
    // The car is wider than high: lift it from the bottom edge to the middle of the square.
    framing.groundY -= static_cast<float>(size) * 0.16f;
    Canvas canvas(size, size, 4);
    renderCar(canvas, liveries[0], yaw[0], framing);
    return canvas.resolve(true);
}
