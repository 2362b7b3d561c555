#include "modelgen/AircraftBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

namespace nevrik::modelgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Fuselage: nose tip at x = kNoseX, tail at kNoseX - kFuselageLength. Stations are
// fractions xi of the length, 0 at the nose tip.
constexpr float kNoseX = 125.0f;
constexpr float kFuselageLength = 240.0f;
constexpr float kFuselageHalfWidth = 12.0f;
constexpr float kFuselageTop = 12.0f;
constexpr float kFuselageBottom = 9.0f;  // a flatter belly makes the section non-circular
constexpr double kNoseEnd = 0.32;        // the ogive ends and the constant section starts
constexpr double kTailStart = 0.82;      // the rear taper towards the nozzle starts
constexpr double kRadomeEnd = 0.12;
constexpr double kNozzleStart = 0.955;

constexpr float kCanopyFront = 75.0f;
constexpr float kCanopyLength = 50.0f;
constexpr float kCanopySink = 2.0f;  // the canopy's flat base sits this far inside the fuselage

constexpr float kTextureTile = 62.5f;  // model units per camouflage repeat

float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

double smoothstep(double t) {
    return t * t * (3.0 - 2.0 * t);
}

// Superellipse coordinate for a unit circle coordinate: exponent 2 is the circle itself,
// larger exponents square the section off.
float superellipse(double value, double exponent) {
    return static_cast<float>(std::copysign(std::pow(std::fabs(value), 2.0 / exponent), value));
}

float fuselageX(double xi) {
    return kNoseX - kFuselageLength * static_cast<float>(xi);
}

// Relative size of the fuselage section: an ogive nose, a constant middle, a taper to
// a nozzle of 62% of the full size.
double fuselageEnvelope(double xi) {
    if (xi < kNoseEnd) {
        const double u = 1.0 - xi / kNoseEnd;
        return std::pow(1.0 - u * u, 0.8);
    }
    if (xi < kTailStart) {
        return 1.0;
    }
    const double u = std::min(1.0, (xi - kTailStart) / (1.0 - kTailStart));
    return 1.0 - 0.38 * smoothstep(u);
}

// The nose droops below the centre line for the pilot's view.
float fuselageCentreZ(double xi) {
    if (xi >= kNoseEnd) {
        return 0.0f;
    }
    const double u = 1.0 - xi / kNoseEnd;
    return static_cast<float>(-3.0 * u * u);
}

Vector3 fuselagePoint(double xi, double angle) {
    const double envelope = fuselageEnvelope(xi);
    const double exponent = 2.0 + 0.8 * envelope;
    const double up = std::cos(angle);
    const auto size = static_cast<float>(envelope);
    const float height = up >= 0.0 ? kFuselageTop : kFuselageBottom;
    return {fuselageX(xi), size * kFuselageHalfWidth * superellipse(std::sin(angle), exponent),
            fuselageCentreZ(xi) + size * height * superellipse(up, exponent)};
}

float fuselageTopAt(float x) {
    const double xi = (kNoseX - x) / kFuselageLength;
    return fuselagePoint(xi, 0.0).z;
}

// Half-thickness of the symmetric four-digit aerofoil for thickness 1, closed at the
// trailing edge.
float aerofoilHalfThickness(double c) {
    return static_cast<float>(5.0 * (0.2969 * std::sqrt(c) - 0.1260 * c - 0.3516 * c * c +
                                     0.2843 * c * c * c - 0.1036 * c * c * c * c));
}

// Chord fraction of section point k of m: cosine spacing crowds points at both edges.
float chordAt(int k, int m) {
    return static_cast<float>(0.5 * (1.0 - std::cos(kPi * k / m)));
}

// The cells between consecutive `points` whose middles fall in `range`; when none does,
// the one whose middle lies nearest the range's middle, so a decal never vanishes.
std::pair<int, int> cellRange(const std::vector<float>& points, const float (&range)[2]) {
    int first = -1;
    int last = -1;
    int nearest = 0;
    float nearestDistance = std::numeric_limits<float>::max();
    const float middle = 0.5f * (range[0] + range[1]);
    for (int i = 0; i + 1 < static_cast<int>(points.size()); ++i) {
        const float cellMiddle = 0.5f * (points[i] + points[i + 1]);
        if (cellMiddle >= range[0] && cellMiddle <= range[1]) {
            first = first < 0 ? i : first;
            last = i;
        }
        if (std::fabs(cellMiddle - middle) < nearestDistance) {
            nearestDistance = std::fabs(cellMiddle - middle);
            nearest = i;
        }
    }
    return first < 0 ? std::make_pair(nearest, nearest) : std::make_pair(first, last);
}

bool contains(std::pair<int, int> range, int index) {
    return index >= range.first && index <= range.second;
}

// Position of `value` across the cells of `range`, 0 at its first point, 1 past its last.
float across(const std::vector<float>& points, std::pair<int, int> range, float value) {
    const float start = points[range.first];
    return (value - start) / (points[range.second + 1] - start);
}

Vector3 mirrored(Vector3 v) {
    return {v.x, -v.y, v.z};
}

constexpr Vector3 kAft{-1.0f, 0.0f, 0.0f};
constexpr Vector3 kUp{0.0f, 0.0f, 1.0f};
constexpr Vector3 kLeft{0.0f, 1.0f, 0.0f};

}  // namespace

AircraftBuilder::AircraftBuilder(double detail) : mDetail(detail) {}

std::vector<Material> AircraftBuilder::materials() {
    std::vector<Material> list(kMaterialCount);
    list[kCamouflage] = {"CAMOUFLAGE",      {90, 90, 90}, {230, 230, 230}, {60, 60, 60}, 15, 0,
                         kCamouflageTexture};
    list[kInsignia] = {"INSIGNIA", {90, 90, 90}, {230, 230, 230}, {60, 60, 60}, 15, 0, kInsigniaTexture};
    list[kRadome] = {"RADOME", {30, 31, 33}, {62, 64, 68}, {110, 110, 110}, 35, 0, ""};
    // Partly transparent, so the renderer defers and blends it after the opaque parts.
    list[kCanopyGlass] = {"CANOPY_GLASS", {20, 30, 40}, {70, 110, 140}, {240, 240, 240}, 90, 30, ""};
    list[kDuct] = {"INTAKE_DUCT", {15, 15, 15}, {34, 34, 36}, {20, 20, 20}, 5, 0, ""};
    list[kExhaust] = {"EXHAUST_METAL", {40, 38, 35}, {96, 90, 84}, {200, 190, 180}, 70, 0, ""};
    return list;
}

int AircraftBuilder::steps(double base, int minimum) const {
    return std::max(minimum, static_cast<int>(std::lround(base * mDetail)));
}

std::vector<MeshPart> AircraftBuilder::build() const {
    std::vector<MeshPart> parts;
    parts.push_back(buildFuselage());
    parts.push_back(buildCanopy());
    parts.push_back(buildWings());
    parts.push_back(buildTail());
    parts.push_back(buildIntakes());

    Vector3 low{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                std::numeric_limits<float>::max()};
    Vector3 high = low * -1.0f;
    for (const MeshPart& part : parts) {
        for (const MeshVertex& v : part.vertices) {
            low = {std::min(low.x, v.position.x), std::min(low.y, v.position.y),
                   std::min(low.z, v.position.z)};
            high = {std::max(high.x, v.position.x), std::max(high.y, v.position.y),
                    std::max(high.z, v.position.z)};
        }
    }
    const Vector3 centre = (low + high) * 0.5f;
    for (MeshPart& part : parts) {
        for (MeshVertex& v : part.vertices) {
            v.position = v.position - centre;
        }
    }
    return parts;
}

std::size_t AircraftBuilder::countTriangles(const std::vector<MeshPart>& parts) {
    std::size_t count = 0;
    for (const MeshPart& part : parts) {
        count += part.triangles.size();
    }
    return count;
}

std::vector<MeshPart> AircraftBuilder::buildForTriangles(long target) {
    constexpr int kAttempts = 8;
    const double wanted = static_cast<double>(std::max(1L, target));
    double detail = 1.0;
    std::vector<MeshPart> best;
    double bestError = std::numeric_limits<double>::max();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::vector<MeshPart> parts = AircraftBuilder(detail).build();
        const auto count = static_cast<double>(countTriangles(parts));
        const double error = std::fabs(count - wanted);
        if (error < bestError) {
            bestError = error;
            best = std::move(parts);
        }
        // Within 1% is as close as the step between tessellations allows.
        if (error * 100.0 <= wanted) {
            break;
        }
        // The count grows with the square of the detail.
        detail *= std::sqrt(wanted / count);
    }
    return best;
}

MeshPart AircraftBuilder::buildFuselage() const {
    const int stations = steps(44, 4);
    const int around = 4 * steps(12, 2);
    // Stations crowd towards the nose, where the curvature is.
    auto station = [stations](int row) {
        return row > stations ? 1.0 : std::pow(double(row) / stations, 1.2);
    };

    MeshBuilder builder("fuselage");
    MeshBuilder::Grid grid;
    grid.rows = stations + 1;  // the last ring collapses to the nozzle's centre: a flat cap
    grid.columns = around;
    grid.position = [=](int row, int column) {
        if (row > stations) {
            return Vector3{fuselageX(1.0), 0.0f, fuselageCentreZ(1.0)};
        }
        return fuselagePoint(station(row), 2.0 * kPi * column / around);
    };
    grid.material = [=](int row, int) {
        if (row == stations || station(row) >= kNozzleStart) {
            return kExhaust;
        }
        return 0.5 * (station(row) + station(row + 1)) < kRadomeEnd ? kRadome : kCamouflage;
    };
    grid.texCoord = [=](int, int, int column, Vector3 p) {
        return MeshBuilder::TexCoord{(kNoseX - p.x) / kTextureTile, static_cast<float>(column) / around};
    };
    builder.addGrid(grid);
    return builder.take();
}

MeshPart AircraftBuilder::buildCanopy() const {
    const int stations = steps(14, 3);
    const int around = 4 * steps(6, 2);
    MeshBuilder builder("canopy");
    MeshBuilder::Grid grid;
    grid.rows = stations;
    grid.columns = around;
    grid.position = [=](int row, int column) {
        const double t = double(row) / stations;
        const float x = kCanopyFront - kCanopyLength * static_cast<float>(t);
        // Both ends close to a point; the guard keeps sin(pi) from leaving a sliver.
        const double bulge = row == 0 || row == stations ? 0.0 : std::sin(kPi * std::pow(t, 0.8));
        const auto height = static_cast<float>(9.0 * std::pow(bulge, 0.6));
        const auto halfWidth = static_cast<float>(6.0 * std::pow(bulge, 0.4));
        const double angle = 2.0 * kPi * column / around;
        const auto up = static_cast<float>(std::cos(angle));
        // The lower half is flattened into the base plane: the shell stays closed.
        return Vector3{x, halfWidth * static_cast<float>(std::sin(angle)),
                       fuselageTopAt(x) - kCanopySink + (up > 0.0f ? height * up : 0.0f)};
    };
    grid.material = [](int, int) { return kCanopyGlass; };
    grid.texCoord = [](int, int, int, Vector3) { return MeshBuilder::TexCoord{0.0f, 0.0f}; };
    builder.addGrid(grid);
    return builder.take();
}

MeshPart AircraftBuilder::buildWings() const {
    MeshBuilder builder("wings");
    // Root and tip leading edges, root and tip chords, up direction, root and tip
    // thickness, span and chord steps, decal.
    const Surface wing{{18.0f, 8.0f, -3.0f},
                       {-38.0f, 100.0f, -1.5f},
                       72.0f,
                       20.0f,
                       kUp,
                       0.055f,
                       0.04f,
                       steps(20, 2),
                       steps(14, 3),
                       {true, false, {0.66f, 0.84f}, {0.25f, 0.75f}}};
    addSurface(builder, wing, true);
    return builder.take();
}

MeshPart AircraftBuilder::buildTail() const {
    MeshBuilder builder("tail");
    const Surface tailplane{{-80.0f, 5.0f, 1.0f},
                            {-106.0f, 50.0f, 1.0f},
                            36.0f,
                            15.0f,
                            kUp,
                            0.05f,
                            0.04f,
                            steps(8, 1),
                            steps(9, 3),
                            {}};
    addSurface(builder, tailplane, true);
    // The fin's "upper" side is its left (+y) side; the decal goes on both.
    const Surface fin{{-55.0f, 0.0f, 5.0f},
                      {-97.0f, 0.0f, 58.0f},
                      52.0f,
                      22.0f,
                      kLeft,
                      0.05f,
                      0.035f,
                      steps(10, 1),
                      steps(11, 3),
                      {true, true, {0.45f, 0.8f}, {0.35f, 0.8f}}};
    addSurface(builder, fin, false);
    return builder.take();
}

// Rings run root to tip: ring 0 and the last ring fold the section flat onto its chord
// line, closing the ends; the rest are full sections. Around each ring the points run
// from the trailing edge along the lower side to the leading edge and back along the
// upper side.
void AircraftBuilder::addSurface(MeshBuilder& builder, const Surface& surface, bool mirror) {
    if (mirror) {
        Surface image = surface;
        image.rootLeadingEdge = mirrored(surface.rootLeadingEdge);
        image.tipLeadingEdge = mirrored(surface.tipLeadingEdge);
        addSurface(builder, image, false);
    }
    const int m = surface.chordSteps;
    const int spans = surface.spanSteps;
    const int lastRing = spans + 2;
    const Vector3 span = surface.tipLeadingEdge - surface.rootLeadingEdge;
    const Vector3 spanAcross = span - kAft * dot(span, kAft);
    const Vector3 spanUnit = spanAcross * (1.0f / std::sqrt(dot(spanAcross, spanAcross)));

    std::vector<float> spanPoints;
    for (int i = 0; i <= spans; ++i) {
        spanPoints.push_back(static_cast<float>(i) / static_cast<float>(spans));
    }
    std::vector<float> chordPoints;
    for (int k = 0; k <= m; ++k) {
        chordPoints.push_back(chordAt(k, m));
    }
    const std::pair<int, int> decalSpans = cellRange(spanPoints, surface.decal.span);
    const std::pair<int, int> decalChords = cellRange(chordPoints, surface.decal.chord);
    auto spanAt = [=](int ring) { return ring == 0 ? 0.0f : spanPoints[std::min(ring - 1, spans)]; };

    MeshBuilder::Grid grid;
    grid.rows = lastRing;
    grid.columns = 2 * m;
    grid.position = [=](int ring, int column) {
        const float s = spanAt(ring);
        const int k = std::abs(m - column);
        const float c = chordPoints[k];
        const float chord = lerp(surface.rootChord, surface.tipChord, s);
        const bool flat = ring == 0 || ring == lastRing || k == m;
        const float half =
            flat ? 0.0f
                 : lerp(surface.rootThickness, surface.tipThickness, s) * chord * aerofoilHalfThickness(c);
        const float side = column > m ? 1.0f : -1.0f;
        return surface.rootLeadingEdge + span * s + kAft * (c * chord) + surface.upDirection * (side * half);
    };
    grid.material = [=](int ring, int column) {
        const bool upper = column >= m;
        const bool decalled = upper ? surface.decal.upper : surface.decal.lower;
        const int chordCell = upper ? column - m : m - 1 - column;
        if (decalled && ring >= 1 && ring <= spans && contains(decalSpans, ring - 1) &&
            contains(decalChords, chordCell)) {
            return kInsignia;
        }
        return kCamouflage;
    };
    grid.texCoord = [=](int material, int ring, int column, Vector3 p) {
        if (material == kInsignia) {
            return MeshBuilder::TexCoord{across(chordPoints, decalChords, chordPoints[std::abs(m - column)]),
                                         across(spanPoints, decalSpans, spanAt(ring))};
        }
        return MeshBuilder::TexCoord{dot(p, kAft) / kTextureTile, dot(p, spanUnit) / kTextureTile};
    };
    // Rings advance along the span; the cells face outwards when the span runs along
    // up x chord, and a mirrored surface has to turn them round.
    grid.flip = dot(cross(surface.upDirection, kAft), span) < 0.0f;
    builder.addGrid(grid);
}

MeshPart AircraftBuilder::buildIntakes() const {
    MeshBuilder builder("intakes");
    addIntake(builder, 1.0f);
    addIntake(builder, -1.0f);
    return builder.take();
}

// An intake is a shell of revolution around an axis along x with a rounded-rectangle
// section: it starts at the centre of its closed back, runs forward along the outer
// skin, turns over the lip and runs back along the duct to its inner end wall.
void AircraftBuilder::addIntake(MeshBuilder& builder, float side) const {
    constexpr float kBack = -15.0f;
    constexpr float kLip = 35.0f;
    constexpr float kDuctEnd = 5.0f;
    constexpr float kDuctSize = 0.8f;  // of the lip's outer size

    struct Ring {
        float x;
        float size;
        int material;  // of the cells from this ring to the next
    };
    std::vector<Ring> rings{{kBack, 0.0f, kCamouflage}, {kBack, 0.55f, kCamouflage}};
    const int outer = steps(10, 2);
    for (int k = 1; k <= outer; ++k) {
        const float x = lerp(kBack, kLip, static_cast<float>(k) / static_cast<float>(outer));
        // Full size from the duct's end forwards, so the duct stays inside the skin.
        const double u = std::min(1.0, double(x - kBack) / double(kDuctEnd - kBack));
        rings.push_back(
            {x, 0.55f + 0.45f * static_cast<float>(smoothstep(u)), k == outer ? kDuct : kCamouflage});
    }
    const int lip = steps(3, 1);
    for (int k = 1; k < lip; ++k) {
        const double angle = kPi * k / lip;
        rings.push_back({kLip + 1.5f * static_cast<float>(std::sin(angle)),
                         0.9f + 0.1f * static_cast<float>(std::cos(angle)), kDuct});
    }
    rings.push_back({kLip, kDuctSize, kDuct});
    const int duct = steps(6, 1);
    for (int k = 1; k <= duct; ++k) {
        rings.push_back(
            {lerp(kLip, kDuctEnd, static_cast<float>(k) / static_cast<float>(duct)), kDuctSize, kDuct});
    }
    rings.push_back({kDuctEnd, 0.0f, kDuct});

    const int around = 4 * steps(4, 2);
    MeshBuilder::Grid grid;
    grid.rows = static_cast<int>(rings.size()) - 1;
    grid.columns = around;
    grid.position = [=](int row, int column) {
        const Ring& ring = rings[row];
        // The intake leans in towards the fuselage at its back.
        const float centreY = side * (10.0f + 4.0f * (ring.x - kBack) / (kLip - kBack));
        const double angle = 2.0 * kPi * column / around;
        return Vector3{ring.x, centreY + side * ring.size * 4.5f * superellipse(std::cos(angle), 3.0),
                       -1.0f + ring.size * 8.0f * superellipse(std::sin(angle), 3.0)};
    };
    grid.material = [=](int row, int) { return rings[row].material; };
    grid.texCoord = [=](int, int, int column, Vector3 p) {
        return MeshBuilder::TexCoord{(p.x - kBack) / 25.0f, static_cast<float>(column) / around};
    };
    grid.flip = side < 0.0f;  // the mirror image turns the winding round
    builder.addGrid(grid);
}

}  // namespace nevrik::modelgen
