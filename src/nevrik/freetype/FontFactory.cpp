#include "nevrik/freetype/FontFactory.h"

#include "nevrik/freetype/FormatException.h"
#include "nevrik/freetype/NoMatchException.h"
#include "nevrik/freetype/detail/Face.h"
#include "nevrik/io/IOException.h"
#include "nevrik/io/SystemFileFactory.h"

namespace nevrik::freetype {
namespace {

constexpr int kFamilyScore = 100;
constexpr int kStyleScore = 50;

}  // namespace

FontFactory::FontFactory() {
    const auto files = object::make<io::SystemFileFactory>(".");
    setFileFactory(*files);
}

FontFactory::FontFactory(io::FileFactory& files) {
    setFileFactory(files);
}

void FontFactory::setFileFactory(io::FileFactory& files) {
    const object::Pointer<io::Directory> directory = files.getDirectory();
    mFiles.reset(&files);
    mFonts.clear();
    for (const io::FileInfo& entry : directory->getEntries()) {
        if ((entry.getFlags() & io::FileInfo::kDirectory) == 0) {
            registerFont(entry.getFileName());
        }
    }
}

bool FontFactory::registerFont(const types::String& name) {
    object::Pointer<io::File> file;
    try {
        file = mFiles->open(name, io::File::kRead);
    } catch (...) {
        return false;
    }
    FontInfo info;
    {
        detail::Face face(*file);
        if (!face.isOpen()) {
            return false;
        }
        info = FontInfo(name, face.getStyleName().toLowerCase(), face.getFamilyName().toLowerCase());
    }
    mFonts.add(info);
    return true;
}

object::Pointer<Font> FontFactory::createFont(const Descriptor& descriptor) {
    const types::String family = descriptor.getFamily().toLowerCase();
    const types::String style = descriptor.getStyle().toLowerCase();
    const FontInfo* best = nullptr;
    int bestScore = -1;
    for (const FontInfo& info : mFonts) {
        const int score =
            (info.getFamily() == family ? kFamilyScore : 0) + (info.getStyle() == style ? kStyleScore : 0);
        if (score >= bestScore) {
            best = &info;
            bestScore = score;
        }
    }
    if (best == nullptr) {
        throw NoMatchException();
    }
    object::Pointer<io::File> file;
    try {
        file = mFiles->open(best->getFileName(), io::File::kRead);
    } catch (const io::IOException&) {
        throw FormatException();
    }
    return object::make<Font>(*file, descriptor);
}

}  // namespace nevrik::freetype
