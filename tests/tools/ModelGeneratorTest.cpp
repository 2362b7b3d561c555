// Runs nevrik_modelgen and reads what it wrote with a reader of its own, written from
// the file formats rather than from the generator, so the two cannot share a mistake.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Point = std::array<float, 3>;

constexpr const char* kModelFile = "f5e_05.3ds";
constexpr std::size_t kMaxElements = 65535;
const std::set<std::string> kPartNames{"fuselage", "canopy", "wings", "tail", "intakes"};

struct Outcome {
    int status = -1;
    std::string output;
};

Outcome runGenerator(const std::string& arguments) {
    const std::string command = std::string("'") + NEVRIK_MODELGEN + "' " + arguments + " 2>&1";
    Outcome run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        run.output += buffer;
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t le(const Bytes& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = value << 8 | bytes.at(at + static_cast<std::size_t>(i));
    }
    return value;
}

// Reads a chunk body front to back; running past its end marks the cursor bad instead
// of reading outside the body.
class Cursor {
public:
    Cursor(const Bytes& bytes, std::size_t begin, std::size_t end) : mBytes(bytes), mAt(begin), mEnd(end) {}

    bool take(std::size_t count) {
        mGood = mGood && count <= mEnd - mAt;
        return mGood;
    }
    std::uint32_t number(int width) {
        if (!take(static_cast<std::size_t>(width))) {
            return 0;
        }
        mAt += static_cast<std::size_t>(width);
        return le(mBytes, mAt - static_cast<std::size_t>(width), width);
    }
    float real() {
        const std::uint32_t bits = number(4);
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::string name() {
        std::string text;
        while (take(1)) {
            const char c = static_cast<char>(mBytes[mAt++]);
            if (c == '\0') {
                return text;
            }
            text += c;
        }
        return text;
    }
    std::size_t position() const { return mAt; }
    bool atEnd() const { return mGood && mAt == mEnd; }
    bool good() const { return mGood; }

private:
    const Bytes& mBytes;
    std::size_t mAt;
    std::size_t mEnd;
    bool mGood = true;
};

struct Material {
    std::string name;
    int colours = 0;  // ambient, diffuse and specular chunks holding a colour
    bool shininess = false;
    float transparency = 0.0f;
    std::string texture;
};

struct Object {
    std::string name;
    std::vector<Point> vertices;
    long texCoords = -1;  // none
    std::vector<std::array<std::uint16_t, 3>> faces;
    std::vector<std::pair<std::string, std::vector<std::uint16_t>>> groups;
};

struct Model {
    std::vector<Material> materials;
    std::vector<Object> objects;

    const Material* material(const std::string& name) const {
        const auto it =
            std::find_if(materials.begin(), materials.end(), [&](auto& m) { return m.name == name; });
        return it == materials.end() ? nullptr : &*it;
    }
    std::size_t triangles() const {
        std::size_t sum = 0;
        for (const Object& o : objects) {
            sum += o.faces.size();
        }
        return sum;
    }
};

// Walks the chunk tree, failing the test on any chunk that does not nest exactly in
// its parent, and collects materials and objects in file order.
class Reader {
public:
    explicit Reader(const Bytes& bytes) : mBytes(bytes) {}

    Model read() {
        EXPECT_GE(mBytes.size(), 6u);
        if (mBytes.size() >= 6) {
            EXPECT_EQ(le(mBytes, 0, 2), 0x4D4Du);
            EXPECT_EQ(le(mBytes, 2, 4), mBytes.size()) << "the main chunk spans the whole file";
        }
        children(0, mBytes.size(), 0);
        return mModel;
    }

private:
    // Sub-chunks must tile [begin, end) exactly: no chunk shorter than its header, none
    // running past its parent, no stray bytes at the end.
    void children(std::size_t begin, std::size_t end, std::uint16_t parent) {
        std::size_t at = begin;
        while (at < end) {
            if (end - at < 6) {
                ADD_FAILURE() << end - at << " stray bytes at " << at;
                return;
            }
            const auto id = static_cast<std::uint16_t>(le(mBytes, at, 2));
            const std::size_t length = le(mBytes, at + 2, 4);
            if (length < 6 || length > end - at) {
                ADD_FAILURE() << "chunk " << std::hex << id << " at " << std::dec << at << " has length "
                              << length << ", room for " << end - at;
                return;
            }
            chunk(id, parent, at + 6, at + length);
            at += length;
        }
    }

    void chunk(std::uint16_t id, std::uint16_t parent, std::size_t begin, std::size_t end) {
        Cursor body(mBytes, begin, end);
        switch (id) {
            case 0x4D4D:
            case 0x3D3D:
            case 0x4100:
            case 0xA040:
            case 0xA050:
            case 0xA200:
                children(begin, end, id);
                return;
            case 0xAFFF:
                mModel.materials.emplace_back();
                children(begin, end, id);
                return;
            case 0xA000:
                material().name = wholeString(body);
                return;
            case 0xA300:
                material().texture = wholeString(body);
                return;
            case 0xA010:
            case 0xA020:
            case 0xA030:
                mColour = false;
                children(begin, end, id);
                material().colours += mColour ? 1 : 0;
                return;
            case 0x0010:
            case 0x0011:
                body.take(id == 0x0010 ? 12 : 3);
                mColour = mColour || body.good();
                return;
            case 0x0030:
            case 0x0031:
                percentage(parent, id == 0x0030 ? float(body.number(2)) : body.real());
                EXPECT_TRUE(body.atEnd());
                return;
            case 0x4000:
                mModel.objects.emplace_back();
                mModel.objects.back().name = body.name();
                EXPECT_TRUE(body.good());
                children(body.position(), end, id);
                return;
            case 0x4110:
                vertices(body);
                return;
            case 0x4140:
                object().texCoords = body.number(2);
                body.take(8 * static_cast<std::size_t>(object().texCoords));
                EXPECT_TRUE(body.good());
                return;
            case 0x4160:
                EXPECT_EQ(end - begin, 48u);
                return;
            case 0x4120:
                faces(body);
                children(body.position(), end, id);
                return;
            case 0x4130:
                group(body);
                return;
            default:
                return;  // chunks the engine skips
        }
    }

    // A chunk out of place must fail the test, not index an empty list.
    Material& material() {
        if (mModel.materials.empty()) {
            ADD_FAILURE() << "material data outside a material";
            mModel.materials.emplace_back();
        }
        return mModel.materials.back();
    }
    Object& object() {
        if (mModel.objects.empty()) {
            ADD_FAILURE() << "mesh data outside a named object";
            mModel.objects.emplace_back();
        }
        return mModel.objects.back();
    }

    static std::string wholeString(Cursor& body) {
        std::string text = body.name();
        EXPECT_TRUE(body.atEnd()) << text;
        return text;
    }

    void percentage(std::uint16_t parent, float value) {
        if (parent == 0xA040) {
            material().shininess = true;
        } else if (parent == 0xA050) {
            material().transparency = value;
        }
    }

    void vertices(Cursor& body) {
        Object& current = object();
        const std::uint32_t count = body.number(2);
        for (std::uint32_t i = 0; i < count && body.good(); ++i) {
            const float x = body.real();
            const float y = body.real();
            current.vertices.push_back({x, y, body.real()});
        }
        EXPECT_TRUE(body.atEnd()) << current.name << ": vertex list size";
    }

    void faces(Cursor& body) {
        Object& current = object();
        const std::uint32_t count = body.number(2);
        for (std::uint32_t i = 0; i < count && body.good(); ++i) {
            const auto a = static_cast<std::uint16_t>(body.number(2));
            const auto b = static_cast<std::uint16_t>(body.number(2));
            current.faces.push_back({a, b, static_cast<std::uint16_t>(body.number(2))});
            body.number(2);  // edge flags
        }
        EXPECT_TRUE(body.good()) << current.name << ": face list size";
    }

    void group(Cursor& body) {
        Object& current = object();
        const std::string material = body.name();
        // The engine finds only materials read before the group.
        EXPECT_NE(mModel.material(material), nullptr)
            << current.name << " uses " << material << " before it exists";
        std::vector<std::uint16_t> list(body.number(2));
        for (std::uint16_t& face : list) {
            face = static_cast<std::uint16_t>(body.number(2));
        }
        EXPECT_TRUE(body.atEnd()) << current.name << ": group " << material << " size";
        current.groups.emplace_back(material, std::move(list));
    }

    const Bytes& mBytes;
    Model mModel;
    bool mColour = false;
};

Model readModel(const fs::path& folder) {
    return Reader(readFile(folder / kModelFile)).read();
}

std::set<std::string> baseNames(const Model& model) {
    std::set<std::string> names;
    for (const Object& object : model.objects) {
        names.insert(object.name.substr(0, object.name.find('_')));
    }
    return names;
}

// Faces index their own object's vertices, use every one of them, and each lies in
// exactly one material group; objects stay within the format's 16-bit counts.
void expectObjectsWellFormed(const Model& model) {
    for (const Object& object : model.objects) {
        SCOPED_TRACE(object.name);
        EXPECT_LE(object.vertices.size(), kMaxElements);
        EXPECT_LE(object.faces.size(), kMaxElements);
        std::vector<int> uses(object.vertices.size(), 0);
        for (const auto& face : object.faces) {
            for (std::uint16_t index : face) {
                ASSERT_LT(index, object.vertices.size());
                ++uses[index];
            }
        }
        EXPECT_EQ(std::count(uses.begin(), uses.end(), 0), 0) << "vertices no face uses";

        std::vector<int> grouped(object.faces.size(), 0);
        bool textured = false;
        for (const auto& [material, list] : object.groups) {
            const Material* m = model.material(material);
            textured = textured || (m != nullptr && !m->texture.empty());
            for (std::uint16_t face : list) {
                ASSERT_LT(face, object.faces.size());
                ++grouped[face];
            }
        }
        EXPECT_EQ(std::count(grouped.begin(), grouped.end(), 1), static_cast<long>(grouped.size()))
            << "faces outside a group or in two";
        if (textured) {
            EXPECT_EQ(object.texCoords, static_cast<long>(object.vertices.size()));
        }
    }
}

Point sub(const Point& a, const Point& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
std::array<double, 3> cross(const Point& a, const Point& b) {
    return {double(a[1]) * b[2] - double(a[2]) * b[1], double(a[2]) * b[0] - double(a[0]) * b[2],
            double(a[0]) * b[1] - double(a[1]) * b[0]};
}

// Points merge by exact position; -0 and +0 are one position.
using PositionKey = std::array<std::uint32_t, 3>;

PositionKey positionKey(const Point& p) {
    PositionKey key{};
    for (int i = 0; i < 3; ++i) {
        const float normalised = p[i] + 0.0f;
        std::memcpy(&key[i], &normalised, sizeof key[i]);
    }
    return key;
}

struct PositionHash {
    std::size_t operator()(const PositionKey& key) const {
        return (std::size_t(key[0]) * 0x9E3779B1u ^ key[1]) * 0x85EBCA77u ^ key[2];
    }
};

// Every shell must be closed and wound consistently, counter-clockwise seen from
// outside: with vertices merged by position (objects and material seams duplicate
// them), each directed edge appears once and its reverse once, and each connected
// shell encloses a positive volume. Returns the number of shells.
int expectClosedOutwardShells(const Model& model) {
    std::unordered_map<PositionKey, int, PositionHash> pointIds;
    std::vector<Point> points;
    std::vector<std::array<int, 3>> triangles;
    for (const Object& object : model.objects) {
        for (const auto& face : object.faces) {
            std::array<int, 3> ids{};
            for (int i = 0; i < 3; ++i) {
                const Point& p = object.vertices.at(face[i]);
                const auto [it, added] = pointIds.emplace(positionKey(p), static_cast<int>(points.size()));
                if (added) {
                    points.push_back(p);
                }
                ids[i] = it->second;
            }
            triangles.push_back(ids);
        }
    }

    std::unordered_map<std::uint64_t, int> edges;
    auto edgeKey = [](int from, int to) {
        return std::uint64_t(std::uint32_t(from)) << 32 | std::uint32_t(to);
    };
    std::vector<int> parent(points.size());
    std::iota(parent.begin(), parent.end(), 0);
    auto root = [&](int i) {
        while (parent[i] != i) {
            i = parent[i] = parent[parent[i]];
        }
        return i;
    };
    int degenerate = 0;
    for (const auto& t : triangles) {
        const auto n = cross(sub(points[t[1]], points[t[0]]), sub(points[t[2]], points[t[0]]));
        degenerate += std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) < 1e-8 ? 1 : 0;
        for (int i = 0; i < 3; ++i) {
            ++edges[edgeKey(t[i], t[(i + 1) % 3])];
            parent[root(t[i])] = root(t[(i + 1) % 3]);
        }
    }
    EXPECT_EQ(degenerate, 0) << "triangles without area";
    int unmatched = 0;
    for (const auto& [edge, count] : edges) {
        const auto reverse = edges.find(edgeKey(int(edge & 0xFFFFFFFFu), int(edge >> 32)));
        unmatched += count != 1 || reverse == edges.end() || reverse->second != 1 ? 1 : 0;
    }
    EXPECT_EQ(unmatched, 0) << "directed edges without exactly one opposite";

    std::map<int, double> volumes;  // six times the enclosed volume, per shell
    for (const auto& t : triangles) {
        const auto n = cross(points[t[1]], points[t[2]]);
        const Point& a = points[t[0]];
        volumes[root(t[0])] += a[0] * n[0] + a[1] * n[1] + a[2] * n[2];
    }
    for (const auto& [shell, volume] : volumes) {
        EXPECT_GT(volume, 0.0) << "shell around " << points[shell][0] << ", " << points[shell][1] << ", "
                               << points[shell][2] << " faces inwards";
    }
    return static_cast<int>(volumes.size());
}

// The triangle count the generator's summary line reports.
long reportedTriangles(const std::string& output) {
    const std::size_t at = output.find(" triangles");
    const std::size_t start = output.rfind(' ', at - 1);
    return at == std::string::npos || start == std::string::npos
               ? -1
               : std::stol(output.substr(start + 1, at - start));
}

class ModelGeneratorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sRoot = fs::temp_directory_path() / ("nevrik_modelgen_test_" + std::to_string(::getpid()));
        fs::remove_all(sRoot);
        fs::create_directories(sRoot);
        sDefaultRun = generate("default", "");
        sDefault = readModel(sRoot / "default");
    }
    static void TearDownTestSuite() { fs::remove_all(sRoot); }

    static Outcome generate(const std::string& folder, const std::string& options) {
        return runGenerator("--output '" + (sRoot / folder).string() + "' " + options);
    }

    // Asks for `triangles`; the model must come within 10% and keep to the format's limits.
    static Model generateScaled(const std::string& folder, long triangles) {
        const Outcome run = generate(folder, "--triangles " + std::to_string(triangles));
        EXPECT_EQ(run.status, 0) << run.output;
        const Model model = readModel(sRoot / folder);
        EXPECT_NEAR(static_cast<double>(model.triangles()), triangles, triangles * 0.1);
        EXPECT_EQ(reportedTriangles(run.output), static_cast<long>(model.triangles()));
        expectObjectsWellFormed(model);
        return model;
    }

    static fs::path sRoot;
    static Outcome sDefaultRun;
    static Model sDefault;
};

fs::path ModelGeneratorTest::sRoot;
Outcome ModelGeneratorTest::sDefaultRun;
Model ModelGeneratorTest::sDefault;

TEST_F(ModelGeneratorTest, DefaultRunWritesAboutTenThousandTrianglesInNamedObjects) {
    ASSERT_EQ(sDefaultRun.status, 0) << sDefaultRun.output;
    EXPECT_EQ(std::count(sDefaultRun.output.begin(), sDefaultRun.output.end(), '\n'), 1)
        << sDefaultRun.output;
    EXPECT_NE(sDefaultRun.output.find(kModelFile), std::string::npos);
    EXPECT_NE(sDefaultRun.output.find(std::to_string(sDefault.objects.size()) + " objects"),
              std::string::npos);
    EXPECT_EQ(reportedTriangles(sDefaultRun.output), static_cast<long>(sDefault.triangles()));

    EXPECT_GE(sDefault.triangles(), 9000u);
    EXPECT_LE(sDefault.triangles(), 11000u);
    EXPECT_EQ(baseNames(sDefault), kPartNames);
    expectObjectsWellFormed(sDefault);
}

TEST_F(ModelGeneratorTest, ShellsAreClosedAndFaceOutwards) {
    // Fuselage, canopy, two wings, two tailplanes, fin and two intakes.
    EXPECT_EQ(expectClosedOutwardShells(sDefault), 9);
}

TEST_F(ModelGeneratorTest, AircraftIsCentredWithNoseAlongXAndTopAlongZ) {
    Point low{1e9f, 1e9f, 1e9f};
    Point high{-1e9f, -1e9f, -1e9f};
    std::map<std::string, std::pair<Point, Point>> extents;
    for (const Object& object : sDefault.objects) {
        auto& [objectLow, objectHigh] =
            extents.try_emplace(object.name, Point{1e9f, 1e9f, 1e9f}, Point{-1e9f, -1e9f, -1e9f})
                .first->second;
        for (const Point& p : object.vertices) {
            for (int i = 0; i < 3; ++i) {
                low[i] = std::min(low[i], p[i]);
                high[i] = std::max(high[i], p[i]);
                objectLow[i] = std::min(objectLow[i], p[i]);
                objectHigh[i] = std::max(objectHigh[i], p[i]);
            }
        }
    }
    EXPECT_NEAR(high[0] - low[0], 250.0f, 10.0f);
    EXPECT_NEAR(high[1] - low[1], 200.0f, 10.0f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(low[i] + high[i], 0.0f, 0.01f) << "axis " << i;
    }
    // The canopy sits forward and on top, the fin rises above everything else, and the
    // nose cone is the forward-most part.
    EXPECT_GT(extents["canopy"].first[0], 0.0f);
    EXPECT_GT(extents["canopy"].first[2], extents["wings"].second[2]);
    EXPECT_EQ(extents["tail"].second[2], high[2]);
    EXPECT_LT(extents["tail"].second[0], 0.0f);
    EXPECT_EQ(extents["fuselage"].second[0], high[0]);
    EXPECT_NEAR(extents["wings"].second[1] - extents["wings"].first[1], 200.0f, 10.0f);
}

TEST_F(ModelGeneratorTest, MaterialsCarryColoursTransparencyAndTwoTextureFormats) {
    ASSERT_GE(sDefault.materials.size(), 5u);
    for (const Material& material : sDefault.materials) {
        SCOPED_TRACE(material.name);
        EXPECT_FALSE(material.name.empty());
        EXPECT_EQ(material.colours, 3) << "ambient, diffuse and specular";
        EXPECT_TRUE(material.shininess);
    }

    // Everything the canopy is made of is 30% transparent; nothing else is.
    std::set<std::string> glass;
    std::set<std::string> used;
    for (const Object& object : sDefault.objects) {
        for (const auto& group : object.groups) {
            used.insert(group.first);
            if (object.name.rfind("canopy", 0) == 0) {
                glass.insert(group.first);
            }
        }
    }
    ASSERT_FALSE(glass.empty());
    for (const Material& material : sDefault.materials) {
        EXPECT_EQ(material.transparency, glass.count(material.name) != 0 ? 30.0f : 0.0f) << material.name;
    }

    std::set<std::string> textures;
    for (const Material& material : sDefault.materials) {
        if (!material.texture.empty()) {
            textures.insert(material.texture);
            EXPECT_EQ(material.texture.find('/'), std::string::npos) << "found next to the model";
            EXPECT_EQ(used.count(material.name), 1u) << material.name << " textures nothing";
        }
    }
    const std::set<std::string> expected{"f5e_camo.bmp", "f5e_mark.tga"};
    EXPECT_EQ(textures, expected);
}

TEST_F(ModelGeneratorTest, TexturesAreUncompressedBmpAndTgaOfPowerOfTwoSizes) {
    const Bytes bmp = readFile(sRoot / "default" / "f5e_camo.bmp");
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(le(bmp, 2, 4), bmp.size());
    EXPECT_EQ(le(bmp, 10, 4), 54u);   // pixel data right after the headers
    EXPECT_EQ(le(bmp, 14, 4), 40u);   // BITMAPINFOHEADER
    EXPECT_EQ(le(bmp, 18, 4), 256u);  // width
    EXPECT_EQ(le(bmp, 22, 4), 256u);  // height, positive: bottom row first
    EXPECT_EQ(le(bmp, 26, 2), 1u);    // planes
    EXPECT_EQ(le(bmp, 28, 2), 24u);   // bits per pixel
    EXPECT_EQ(le(bmp, 30, 4), 0u);    // uncompressed
    EXPECT_EQ(bmp.size(), 54u + 256u * 256u * 3u);
    std::set<std::uint32_t> colours;
    for (std::size_t at = 54; at + 3 <= bmp.size(); at += 3) {
        colours.insert(le(bmp, at, 3));
    }
    EXPECT_GE(colours.size(), 3u) << "a camouflage pattern, not a flat fill";

    const Bytes tga = readFile(sRoot / "default" / "f5e_mark.tga");
    ASSERT_GE(tga.size(), 18u);
    EXPECT_EQ(tga[0], 0u);  // no image ID
    EXPECT_EQ(tga[1], 0u);  // no colour map
    EXPECT_EQ(tga[2], 2u);  // uncompressed true colour
    EXPECT_EQ(le(tga, 12, 2), 128u);
    EXPECT_EQ(le(tga, 14, 2), 128u);
    ASSERT_TRUE(tga[16] == 24 || tga[16] == 32) << int(tga[16]);
    const std::size_t pixel = tga[16] / 8u;
    EXPECT_EQ(tga[17] & 0x0F, tga[16] == 32 ? 8 : 0) << "alpha bits";
    EXPECT_EQ(tga.size(), 18u + 128u * 128u * pixel);
    // The roundel's centre differs from the panel's corner.
    const std::size_t centre = 18 + (64 * 128 + 64) * pixel;
    EXPECT_NE(le(tga, centre, 3), le(tga, 18, 3));
}

TEST_F(ModelGeneratorTest, SameOptionsGiveTheSameBytes) {
    const Outcome again = generate("again", "");
    ASSERT_EQ(again.status, 0) << again.output;
    for (const char* file : {kModelFile, "f5e_camo.bmp", "f5e_mark.tga"}) {
        EXPECT_EQ(readFile(sRoot / "again" / file), readFile(sRoot / "default" / file)) << file;
    }
}

TEST_F(ModelGeneratorTest, TriangleOptionScalesTheTessellation) {
    const Model model = generateScaled("large", 100000);
    EXPECT_EQ(baseNames(model), kPartNames);
}

TEST_F(ModelGeneratorTest, PartsBeyondSixteenBitCountsSplitIntoMoreObjects) {
    const Model model = generateScaled("split", 200000);
    EXPECT_GT(model.objects.size(), kPartNames.size());
    EXPECT_EQ(baseNames(model), kPartNames);
    // The cut loses no face: the shells still close across the pieces.
    EXPECT_EQ(expectClosedOutwardShells(model), 9);
}

TEST_F(ModelGeneratorTest, BadOptionsAreRefusedWithoutWritingAnything) {
    for (const char* options : {"--triangles 0", "--triangles 12x", "--triangles -5",
                                "--triangles 99999999999", "--triangles", "--colour red", "extra"}) {
        const fs::path folder = sRoot / "refused";
        const Outcome run = runGenerator("--output '" + folder.string() + "' " + options);
        EXPECT_EQ(run.status, 2) << options << ": " << run.output;
        EXPECT_NE(run.output.find("usage: nevrik_modelgen"), std::string::npos) << options;
        EXPECT_FALSE(fs::exists(folder)) << options;
    }
}

}  // namespace
