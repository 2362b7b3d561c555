// nevrik_modelgen: writes the picking sample's aircraft model, f5e_05.3ds, and the two
// textures it names into a folder ("data" unless told otherwise). The output depends
// only on the options: the same options give the same bytes on every run.

#include "modelgen/AircraftBuilder.h"
#include "modelgen/BmpWriter.h"
#include "modelgen/ModelWriter.h"
#include "modelgen/TexturePainter.h"
#include "modelgen/TgaWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

namespace {

using namespace nevrik::modelgen;

constexpr const char* kModelName = "f5e_05.3ds";
constexpr long kDefaultTriangles = 10000;
constexpr long kMaxTriangles = 2000000;

struct Options {
    long triangles = kDefaultTriangles;
    std::string output = "data";
};

void printUsage(std::FILE* to) {
    std::fprintf(to,
                 "usage: nevrik_modelgen [--triangles N] [--output DIR]\n"
                 "  --triangles N  about N triangles, 1 to %ld (default %ld)\n"
                 "  --output DIR   folder for %s and its textures (default \"data\")\n",
                 kMaxTriangles, kDefaultTriangles, kModelName);
}

bool parseCount(const char* text, long* value) {
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || parsed < 1 || parsed > kMaxTriangles) {
        return false;
    }
    *value = parsed;
    return true;
}

// Returns false, with a message on stderr, for anything but the documented options.
bool parseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--triangles") == 0 && hasValue) {
            if (!parseCount(argv[++i], &options->triangles)) {
                std::fprintf(stderr,
                             "nevrik_modelgen: --triangles wants a whole number from 1 to %ld, not \"%s\"\n",
                             kMaxTriangles, argv[i]);
                return false;
            }
        } else if (std::strcmp(argv[i], "--output") == 0 && hasValue && argv[i + 1][0] != '\0') {
            options->output = argv[++i];
        } else {
            std::fprintf(stderr, "nevrik_modelgen: unexpected argument \"%s\"\n", argv[i]);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printUsage(stdout);
        return 0;
    }
    Options options;
    if (!parseOptions(argc, argv, &options)) {
        printUsage(stderr);
        return 2;
    }
    try {
        const ModelWriter model(AircraftBuilder::materials(),
                                AircraftBuilder::buildForTriangles(options.triangles));
        const std::filesystem::path folder(options.output);
        std::filesystem::create_directories(folder);
        const std::string modelPath = (folder / kModelName).string();
        model.encode().save(modelPath);
        BmpWriter::encode(TexturePainter::camouflage(AircraftBuilder::kCamouflageTextureSize))
            .save((folder / AircraftBuilder::kCamouflageTexture).string());
        TgaWriter::encode(TexturePainter::insignia(AircraftBuilder::kInsigniaTextureSize))
            .save((folder / AircraftBuilder::kInsigniaTexture).string());
        std::printf("nevrik_modelgen: wrote %s: %zu objects, %zu triangles; textures %s, %s\n",
                    modelPath.c_str(), model.getObjects().size(), model.getTriangleCount(),
                    AircraftBuilder::kCamouflageTexture, AircraftBuilder::kInsigniaTexture);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "nevrik_modelgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
