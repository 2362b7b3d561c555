#pragma once

// Font files for the tests: copies of the system's DejaVu faces, and a small
// TrueType font made in memory whose every glyph is known to the pixel.

#include "io/TempFolder.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>

namespace nevrik::testing {

/// Copies the DejaVu face `face` of Debian's fonts-dejavu-core into `folder` as `name`.
inline void copyDejaVu(const TempFolder& folder, const std::string& face, const std::string& name) {
    std::filesystem::copy_file(std::filesystem::path("/usr/share/fonts/truetype/dejavu") / face,
                               folder / name);
}

/// A TrueType font of 95 glyphs at 1024 units per em: glyph 0 is empty and
/// glyphs 1-94 are each the square (128, 0)-(640, 512), so at 16 pixels per
/// em a square covers pixels 2-9 across and the 8 rows above the baseline.
/// Every glyph advances 768 units (12 pixels at that size). Two character
/// maps: encoding id 0 (Macintosh) maps only 'A' to glyph 1; encoding id 1
/// (Windows Unicode, FreeType's default) maps codes 33-126 to glyphs 1-94.
/// Table checksums are left 0: FreeType does not read them.
class SquareFont {
public:
    static constexpr int kGlyphs = 95;

    SquareFont(const std::string& family, const std::string& style) : mFamily(family), mStyle(style) {}

    std::string bytes() const {
        std::map<std::string, std::string> tables;  // sorted by tag, as the directory must be
        tables["cmap"] = u16(0) + u16(2) + u16(1) + u16(0) + u32(20) + u16(3) + u16(1) + u32(52) +
                         format4('A', 'A', 1) + format4(33, 126, 1);
        tables["head"] = u32(0x10000) + u32(0x10000) + u32(0) + u32(0x5F0F3CF5) + u16(0x000B) + u16(1024) +
                         zeros(16) + u16(0) + u16(0) + u16(640) + u16(512) + u16(0) + u16(8) + u16(2) +
                         u16(1) + u16(0);
        tables["hhea"] = u32(0x10000) + u16(800) + u16(-224) + u16(0) + u16(768) + zeros(4) + u16(640) +
                         u16(1) + zeros(14) + u16(kGlyphs);
        tables["maxp"] = u32(0x10000) + u16(kGlyphs) + u16(4) + u16(1) + zeros(4) + u16(2) + zeros(16);
        tables["name"] = u16(0) + u16(2) + u16(30) + nameRecord(1, mFamily.size(), 0) +
                         nameRecord(2, mStyle.size(), mFamily.size()) + utf16(mFamily) + utf16(mStyle);
        tables["post"] = u32(0x30000) + zeros(28);
        // Glyph 0 is empty; each square: one contour of four on-curve points
        // (128, 0), (128, 512), (640, 512), (640, 0) as 16-bit deltas.
        const std::string square = u16(1) + u16(128) + u16(0) + u16(640) + u16(512) + u16(3) + u16(0) +
                                   std::string(4, '\x01') + u16(128) + u16(0) + u16(512) + u16(0) + u16(0) +
                                   u16(512) + u16(0) + u16(-512) + zeros(2);
        tables["loca"] = u32(0);
        tables["hmtx"] = u16(768) + u16(0);
        for (int glyph = 0; glyph < kGlyphs; ++glyph) {
            tables["loca"] += u32(static_cast<std::uint32_t>(glyph * square.size()));
            if (glyph > 0) {
                tables["glyf"] += square;
                tables["hmtx"] += u16(768) + u16(128);
            }
        }

        std::string directory =
            u32(0x10000) + u16(static_cast<int>(tables.size())) + u16(128) + u16(3) + u16(16);
        std::string data;
        for (const auto& [tag, table] : tables) {
            const auto offset = static_cast<std::uint32_t>(12 + 16 * tables.size() + data.size());
            directory += tag + u32(0) + u32(offset) + u32(static_cast<std::uint32_t>(table.size()));
            data += table + zeros((4 - table.size() % 4) % 4);
        }
        return directory + data;
    }

private:
    static std::string u16(int value) {
        return {static_cast<char>((value >> 8) & 0xff), static_cast<char>(value)};
    }
    static std::string u32(std::uint32_t value) {
        return u16(static_cast<int>(value >> 16)) + u16(static_cast<int>(value & 0xffff));
    }
    static std::string zeros(std::size_t count) { return std::string(count, '\0'); }
    static std::string utf16(const std::string& text) {
        std::string wide;
        for (const char c : text) {
            wide += u16(static_cast<unsigned char>(c));
        }
        return wide;
    }
    // A Windows Unicode English record of name `id`, with offset and length in UTF-16 units.
    static std::string nameRecord(int id, std::size_t length, std::size_t offset) {
        return u16(3) + u16(1) + u16(0x409) + u16(id) + u16(static_cast<int>(2 * length)) +
               u16(static_cast<int>(2 * offset));
    }
    // A format 4 map of codes first-last to glyphs from firstGlyph: that
    // segment and the closing 0xFFFF one, 32 bytes.
    static std::string format4(int first, int last, int firstGlyph) {
        return u16(4) + u16(32) + u16(0) + u16(4) + u16(4) + u16(1) + u16(0) + u16(last) + u16(0xffff) +
               u16(0) + u16(first) + u16(0xffff) + u16(firstGlyph - first) + u16(1) + u16(0) + u16(0);
    }

    std::string mFamily;
    std::string mStyle;
};

}  // namespace nevrik::testing
