#include "car_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace
{

// Model units: metres. x to the car's right, y up, z towards its nose; the ground is y = 0.
struct Vec3 {
    float x = 0, y = 0, z = 0;
};

Vec3 operator+(Vec3 a, Vec3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(Vec3 a, Vec3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(Vec3 a, float k)
{
    return {a.x * k, a.y * k, a.z * k};
}
float dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 normalised(Vec3 a)
{
    const float length = std::sqrt(dot(a, a));
    return length > 0 ? a * (1 / length) : a;
}

// What a face is made of decides its colour and shine.
enum class Material { Body, Stripe, Glass, Tyre, Rim, Trim, TailLight, LightBar, Plate, Shadow };

struct Face {
    std::vector<Vec3> corners;
    Material material;
    Vec3 outward; // unit normal pointing out of the part
};

constexpr float elevationDegrees = 12.0f;
constexpr float cameraDistance = 16.0f; // mild perspective: the car's tail is nearer than its nose
constexpr float degrees = 0.017453293f;
constexpr float lengthScale = 0.85f;

// The outward normal of a planar face, pointing away from `inside`.
Vec3 faceNormal(const std::vector<Vec3> &corners, Vec3 inside)
{
    Vec3 n; // Newell's method
    Vec3 centre;
    for (size_t i = 0; i < corners.size(); ++i) {
        const Vec3 a = corners[i], b = corners[(i + 1) % corners.size()];
        n.x += (a.y - b.y) * (a.z + b.z);
        n.y += (a.z - b.z) * (a.x + b.x);
        n.z += (a.x - b.x) * (a.y + b.y);
        centre = centre + a;
    }
    centre = centre * (1.0f / static_cast<float>(corners.size()));
    n = normalised(n);
    return dot(n, centre - inside) < 0 ? n * -1.0f : n;
}

class ModelBuilder
{
public:
    std::vector<Face> faces;

    void face(std::vector<Vec3> corners, Material material, Vec3 inside)
    {
        // The car is drawn a little shorter than it is modelled: seen from behind its length only
        // shows when it turns, and a stubby car keeps the straight view wide in its picture.
        for (Vec3 &c : corners)
            c.z *= lengthScale;
        inside.z *= lengthScale;
        const Vec3 n = faceNormal(corners, inside);
        faces.push_back({std::move(corners), material, n});
    }

    // A profile in the (z, y) plane swept across from x0 to x1.
    void prism(const std::vector<std::pair<float, float>> &profile, float x0, float x1, Material material)
    {
        Vec3 inside{(x0 + x1) * 0.5f, 0, 0};
        for (const auto &[z, y] : profile)
            inside = inside + Vec3{0, y, z} * (1.0f / static_cast<float>(profile.size()));
        std::vector<Vec3> left, right;
        for (const auto &[z, y] : profile) {
            left.push_back({x0, y, z});
            right.push_back({x1, y, z});
        }
        face(left, material, inside);
        face(right, material, inside);
        for (size_t i = 0; i < profile.size(); ++i) {
            const size_t j = (i + 1) % profile.size();
            face({left[i], left[j], right[j], right[i]}, material, inside);
        }
    }

    void box(float x0, float x1, float y0, float y1, float z0, float z1, Material material)
    {
        prism({{z0, y0}, {z1, y0}, {z1, y1}, {z0, y1}}, x0, x1, material);
    }

    // A wheel: a many-sided cylinder along x with a rim on its outer side.
    void wheel(float xInner, float xOuter, float radius, float z)
    {
        std::vector<std::pair<float, float>> profile;
        for (int i = 0; i < 14; ++i) {
            const float a = static_cast<float>(i) * 6.2831853f / 14.0f;
            profile.push_back({z + radius * std::cos(a), radius + radius * std::sin(a)});
        }
        prism(profile, xInner, xOuter, Material::Tyre);
        const float side = xOuter > xInner ? 1.0f : -1.0f;
        std::vector<Vec3> rim;
        for (int i = 0; i < 10; ++i) {
            const float a = static_cast<float>(i) * 6.2831853f / 10.0f;
            rim.push_back(
                {xOuter + side * 0.005f, radius + radius * 0.6f * std::sin(a), z + radius * 0.6f * std::cos(a)});
        }
        face(rim, Material::Rim, {xInner, radius, z});
    }

    // A flat panel lying just outside a face: corners given, pushed out along `outward`.
    void decal(std::vector<Vec3> corners, Vec3 outward, Material material)
    {
        for (Vec3 &c : corners)
            c = c + outward * 0.012f;
        Vec3 inside;
        for (const Vec3 &c : corners)
            inside = inside + c * (1.0f / static_cast<float>(corners.size()));
        face(std::move(corners), material, inside - outward);
    }
};

std::vector<Face> buildCar()
{
    ModelBuilder m;
    // Ground shadow, a little larger than the body.
    m.face({{-1.02f, 0.0f, -2.26f}, {1.02f, 0.0f, -2.26f}, {1.02f, 0.0f, 2.1f}, {-1.02f, 0.0f, 2.1f}}, Material::Shadow,
           {0, -1, 0});

    // Body: the side profile from the rear bumper over the trunk and hood to the nose.
    const std::vector<std::pair<float, float>> body = {{-2.12f, 0.3f},  {2.1f, 0.3f},   {2.16f, 0.5f},
                                                       {1.9f, 0.68f},   {0.95f, 0.82f}, {-1.7f, 0.88f},
                                                       {-2.06f, 0.86f}, {-2.16f, 0.58f}};
    m.prism(body, -0.95f, 0.95f, Material::Body);

    // Cabin: a frustum, narrower at the roof; its faces carry inset windows.
    const float baseY = 0.86f, roofY = 1.24f;
    const Vec3 b0{-0.84f, baseY, -1.55f}, b1{0.84f, baseY, -1.55f}, b2{0.84f, baseY, 0.95f}, b3{-0.84f, baseY, 0.95f};
    const Vec3 t0{-0.66f, roofY, -1.02f}, t1{0.66f, roofY, -1.02f}, t2{0.66f, roofY, 0.18f}, t3{-0.66f, roofY, 0.18f};
    const Vec3 cabinInside{0, 1.0f, -0.4f};
    const std::vector<std::vector<Vec3>> cabin = {
        {b0, b1, t1, t0}, {b1, b2, t2, t1}, {b2, b3, t3, t2}, {b3, b0, t0, t3}};
    for (const auto &side : cabin) {
        m.face(side, Material::Body, cabinInside);
        // The window: the face shrunk towards its centre, more at the pillars than at the sill.
        Vec3 centre;
        for (const Vec3 &c : side)
            centre = centre + c * 0.25f;
        std::vector<Vec3> window;
        for (const Vec3 &c : side)
            window.push_back(centre + (c - centre) * 0.8f);
        m.decal(window, faceNormal(side, cabinInside), Material::Glass);
    }
    m.face({t0, t1, t2, t3}, Material::Body, cabinInside);
    m.decal({{-0.17f, roofY, -1.02f}, {0.17f, roofY, -1.02f}, {0.17f, roofY, 0.18f}, {-0.17f, roofY, 0.18f}}, {0, 1, 0},
            Material::Stripe);
    // The stripe continues over the trunk and the hood.
    m.decal({{-0.17f, 0.86f, -2.06f}, {0.17f, 0.86f, -2.06f}, {0.17f, 0.875f, -1.55f}, {-0.17f, 0.875f, -1.55f}},
            normalised({0, 1, 0.05f}), Material::Stripe);
    m.decal({{-0.17f, 0.83f, 0.95f}, {0.17f, 0.83f, 0.95f}, {0.17f, 0.7f, 1.85f}, {-0.17f, 0.7f, 1.85f}},
            normalised({0, 1, 0.15f}), Material::Stripe);

    // Rear panel (from the trunk lid down to the bumper line): light bar and number plate.
    const Vec3 panelOut = normalised({0, 0.35f, -1});
    auto onPanel = [](float x, float t) { // t = 0 at the trunk edge, 1 at the panel's foot
        return Vec3{x, 0.86f + (0.58f - 0.86f) * t, -2.06f + (-2.16f + 2.06f) * t};
    };
    for (float side : {-1.0f, 1.0f}) {
        m.decal({onPanel(side * 0.92f, 0.2f), onPanel(side * 0.48f, 0.2f), onPanel(side * 0.48f, 0.78f),
                 onPanel(side * 0.92f, 0.78f)},
                panelOut, Material::TailLight);
    }
    m.decal({onPanel(-0.48f, 0.35f), onPanel(0.48f, 0.35f), onPanel(0.48f, 0.62f), onPanel(-0.48f, 0.62f)}, panelOut,
            Material::LightBar);
    auto lowerPanel = [](float x, float t) {
        return Vec3{x, 0.58f + (0.3f - 0.58f) * t, -2.16f + (-2.12f + 2.16f) * t};
    };
    const Vec3 lowerOut = normalised({0, -0.1f, -1});
    m.decal({lowerPanel(-0.24f, 0.1f), lowerPanel(0.24f, 0.1f), lowerPanel(0.24f, 0.5f), lowerPanel(-0.24f, 0.5f)},
            lowerOut, Material::Plate);
    // Bumper and diffuser, high enough that the rear tyres show under the body's corners.
    m.box(-0.9f, 0.9f, 0.22f, 0.4f, -2.2f, -1.9f, Material::Trim);

    // Wheels stand out a little past the body.
    for (float z : {-1.38f, 1.38f}) {
        m.wheel(-0.7f, -1.02f, 0.34f, z);
        m.wheel(0.7f, 1.02f, 0.34f, z);
    }

    // Rear wing on two struts.
    m.box(-0.98f, 0.98f, 1.04f, 1.1f, -2.2f, -1.82f, Material::Trim);
    for (float side : {-1.0f, 1.0f}) {
        m.box(side * 0.5f - 0.05f, side * 0.5f + 0.05f, 0.86f, 1.04f, -2.02f, -1.92f, Material::Trim);
        m.box(side * 0.98f - 0.03f, side * 0.98f + 0.03f, 0.92f, 1.16f, -2.22f, -1.8f, Material::Trim);
    }
    return m.faces;
}

// A model point after turning the car by `yaw` (radians), seen by the camera: across (x),
// up on the screen, and depth along the view (larger is farther).
struct Projected {
    float x, up, depth;
};

Projected project(Vec3 p, float yaw)
{
    const float c = std::cos(yaw), s = std::sin(yaw);
    const Vec3 turned{p.x * c + p.z * s, p.y, -p.x * s + p.z * c};
    const float e = elevationDegrees * degrees;
    const float depth = turned.z * std::cos(e) - turned.y * std::sin(e);
    const float up = turned.y * std::cos(e) + turned.z * std::sin(e);
    const float perspective = cameraDistance / (cameraDistance + depth);
    return {turned.x * perspective, up * perspective, depth};
}

Vec3 turnedNormal(Vec3 n, float yaw)
{
    const float c = std::cos(yaw), s = std::sin(yaw);
    return {n.x * c + n.z * s, n.y, -n.x * s + n.z * c};
}

Colour shade(const Face &face, Vec3 normal, const CarLivery &livery)
{
    const Vec3 light = normalised({-0.45f, 0.85f, -0.5f});
    const float e = elevationDegrees * degrees;
    const Vec3 toCamera{0, std::sin(e), -std::cos(e)};
    const float diffuse = std::max(0.0f, dot(normal, light));
    const Vec3 halfway = normalised(light + toCamera);
    const float shine = std::pow(std::max(0.0f, dot(normal, halfway)), 24.0f);
    auto lit = [&](Colour base, float ambient, float gloss) {
        Colour c = scaled(base, ambient + (1 - ambient) * diffuse);
        return mix(c, {1, 1, 1}, std::min(1.0f, gloss * shine));
    };
    switch (face.material) {
    case Material::Body:
        return lit(livery.body, 0.62f, 0.6f);
    case Material::Stripe:
        return lit(livery.stripe, 0.62f, 0.5f);
    case Material::Glass: {
        // Dark glass that mirrors the pale sky more the more it faces upwards.
        const float skyward = std::clamp(normal.y, 0.0f, 1.0f);
        return mix(hexColour(0x141C2A), hexColour(0x8FA6C4), skyward * 0.55f + shine * 0.4f);
    }
    case Material::Tyre:
        return lit(hexColour(0x1A1A1C), 0.7f, 0.05f);
    case Material::Rim:
        return lit(hexColour(0xB8BCC4), 0.55f, 0.4f);
    case Material::Trim:
        return lit(hexColour(0x222326), 0.6f, 0.25f);
    case Material::TailLight:
        return hexColour(0xFF2A1E);
    case Material::LightBar:
        return hexColour(0x9E0E0A);
    case Material::Plate:
        return hexColour(0xE8E4C8);
    case Material::Shadow:
        return hexColour(0x3A3E4A);
    }
    return livery.body;
}

// Depth-tested triangle on the sample grid; points in sample coordinates.
void rasterTriangle(Canvas &canvas, std::vector<float> &depthBuffer, const Projected *p, Colour colour)
{
    const float minX = std::min({p[0].x, p[1].x, p[2].x}), maxX = std::max({p[0].x, p[1].x, p[2].x});
    const float minY = std::min({p[0].up, p[1].up, p[2].up}), maxY = std::max({p[0].up, p[1].up, p[2].up});
    const float area = (p[1].x - p[0].x) * (p[2].up - p[0].up) - (p[2].x - p[0].x) * (p[1].up - p[0].up);
    if (std::fabs(area) < 1e-6f)
        return;
    const int x0 = std::max(0, static_cast<int>(std::floor(minX))),
              x1 = std::min(canvas.sampleWidth() - 1, static_cast<int>(std::ceil(maxX)));
    const int y0 = std::max(0, static_cast<int>(std::floor(minY))),
              y1 = std::min(canvas.sampleHeight() - 1, static_cast<int>(std::ceil(maxY)));
    for (int sy = y0; sy <= y1; ++sy) {
        for (int sx = x0; sx <= x1; ++sx) {
            const float px = static_cast<float>(sx) + 0.5f, py = static_cast<float>(sy) + 0.5f;
            const float w0 = ((p[1].x - px) * (p[2].up - py) - (p[2].x - px) * (p[1].up - py)) / area;
            const float w1 = ((p[2].x - px) * (p[0].up - py) - (p[0].x - px) * (p[2].up - py)) / area;
            const float w2 = 1 - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0)
                continue;
            const float depth = w0 * p[0].depth + w1 * p[1].depth + w2 * p[2].depth;
            float &stored = depthBuffer[static_cast<size_t>(sy) * static_cast<size_t>(canvas.sampleWidth()) +
                                        static_cast<size_t>(sx)];
            if (depth >= stored)
                continue;
            stored = depth;
            canvas.blendSample(sx, sy, {colour, 1});
        }
    }
}

} // namespace

CarFraming fitCarViews(std::span<const float> yawDegrees, float width, float height, float squash)
{
    const std::vector<Face> faces = buildCar();
    float halfWidth = 0, top = 0;
    for (float yaw : yawDegrees) {
        for (const Face &f : faces) {
            for (const Vec3 &c : f.corners) {
                const Projected p = project(c, yaw * degrees);
                halfWidth = std::max(halfWidth, std::fabs(p.x));
                top = std::max(top, p.up);
            }
        }
    }
    // The lowest point on screen is the ground under the tail (nearest the camera).
    float bottom = 0;
    for (float yaw : yawDegrees)
        for (const Face &f : faces)
            for (const Vec3 &c : f.corners)
                bottom = std::min(bottom, project(c, yaw * degrees).up);
    CarFraming framing;
    framing.scaleX = (width * 0.5f - 0.5f) / halfWidth;
    framing.scaleY = std::min((height - 0.25f) / (top - bottom), framing.scaleX * squash);
    framing.centreX = width * 0.5f;
    framing.groundY = height - 0.25f + bottom * framing.scaleY;
    return framing;
}

void renderCar(Canvas &canvas, const CarLivery &livery, float yawDegrees, const CarFraming &framing)
{
    const std::vector<Face> faces = buildCar();
    const float yaw = yawDegrees * degrees;
    const float s = static_cast<float>(canvas.samples());
    std::vector<float> depthBuffer(static_cast<size_t>(canvas.sampleWidth()) *
                                       static_cast<size_t>(canvas.sampleHeight()),
                                   std::numeric_limits<float>::max());
    for (const Face &face : faces) {
        const Colour colour = shade(face, turnedNormal(face.outward, yaw), livery);
        std::vector<Projected> corners;
        for (const Vec3 &c : face.corners) {
            Projected p = project(c, yaw);
            // Into sample coordinates: x across, "up" becomes the sample row.
            corners.push_back({(framing.centreX + p.x * framing.scaleX) * s,
                               (framing.groundY - p.up * framing.scaleY) * s,
                               face.material == Material::Shadow ? p.depth + 100.0f : p.depth});
        }
        for (size_t i = 1; i + 1 < corners.size(); ++i) {
            const Projected triangle[] = {corners[0], corners[i], corners[i + 1]};
            rasterTriangle(canvas, depthBuffer, triangle, colour);
        }
    }
}
