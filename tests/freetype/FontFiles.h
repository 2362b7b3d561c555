#pragma once

// Font files for the tests: copies of the system's DejaVu faces, and a small
// TrueType font built in memory whose every glyph is known to the pixel.

#include "io/TempFolder.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace nevrik::testing {

/// Where Debian's fonts-dejavu-core puts its faces.
inline const std::filesystem::path kDejaVuFolder = "/usr/share/fonts/truetype/dejavu";

/// Copies the DejaVu face `face` ("DejaVuSans.ttf") into `folder` as `name`.
inline void copyDejaVu(const TempFolder& folder, const std::string& face, const std::string& name) {
    std::filesystem::copy_file(kDejaVuFolder / face, folder / name);
}

/// A TrueType font of 95 glyphs at 1024 units per em: glyph 0 is empty and
/// glyphs 1-94 are each the square (128, 0)-(640, 512), so at 16 pixels per
/// em a square covers pixels 2-9 across and the 8 rows above the baseline.
/// Every glyph advances 768 units (12 pixels at that size). Two character
/// maps: encoding id 0 (Macintosh) maps only 'A' to glyph 1; encoding id 1
/// (Windows Unicode, FreeType's default) maps codes 33-126 to glyphs 1-94.
class SquareFont {
public:
    static constexpr int kGlyphs = 95;
    static constexpr int kUnitsPerEm = 1024;
    static constexpr int kAdvance = 768;

    SquareFont(std::string family, std::string style)
        : mFamily(std::move(family)), mStyle(std::move(style)) {}

    std::string bytes() const {
        std::map<std::string, std::string> tables;
        tables["cmap"] = cmap();
        tables["head"] = head();
        tables["hhea"] = hhea();
        tables["maxp"] = maxp();
        tables["name"] = name();
        tables["post"] = post();
        std::string glyf;
        std::string loca = u32(0) + u32(0);  // glyph 0 has no outline
        std::string hmtx = u16(kAdvance) + u16(0);
        for (int glyph = 1; glyph < kGlyphs; ++glyph) {
            glyf += square();
            loca += u32(static_cast<std::uint32_t>(glyf.size()));
            hmtx += u16(kAdvance) + u16(128);
        }
        tables["glyf"] = glyf;
        tables["loca"] = loca;
        tables["hmtx"] = hmtx;
        return font(tables);
    }

private:
    static std::string u16(int value) {
        return {static_cast<char>((value >> 8) & 0xff), static_cast<char>(value & 0xff)};
    }
    static std::string u32(std::uint32_t value) {
        return u16(static_cast<int>(value >> 16)) + u16(static_cast<int>(value & 0xffff));
    }
    static std::string zeros(std::size_t count) { return std::string(count, '\0'); }

    // (searchRange, entrySelector, rangeShift) for `count` records of `size` bytes.
    static std::string searchFields(int count, int size) {
        int power = 1;
        int log = 0;
        while (power * 2 <= count) {
            power *= 2;
            ++log;
        }
        return u16(power * size) + u16(log) + u16((count - power) * size);
    }

    static std::string square() {
        std::string glyph = u16(1) + u16(128) + u16(0) + u16(640) + u16(512);  // contours, box
        glyph += u16(3) + u16(0);                                              // last point, no code
        glyph += std::string(4, '\x01');                                       // on-curve, 16-bit deltas
        glyph += u16(128) + u16(0) + u16(512) + u16(0);                        // x: 128, 128, 640, 640
        glyph += u16(0) + u16(512) + u16(0) + u16(-512 & 0xffff);              // y: 0, 512, 512, 0
        return glyph + zeros(2);                                               // 4-byte alignment
    }

    // A format 4 subtable mapping codes first..last to glyphs from firstGlyph.
    static std::string format4(int first, int last, int firstGlyph) {
        const int segments = 2;  // the range and the closing 0xFFFF segment
        std::string body = searchFields(segments, 2);
        body += u16(last) + u16(0xffff) + u16(0);
        body += u16(first) + u16(0xffff);
        body += u16((firstGlyph - first) & 0xffff) + u16(1);
        body += u16(0) + u16(0);
        return u16(4) + u16(static_cast<int>(body.size()) + 8) + u16(0) + u16(segments * 2) + body;
    }

    static std::string cmap() {
        const std::string mac = format4('A', 'A', 1);
        const std::string windows = format4(33, 126, 1);
        const int start = 4 + 2 * 8;
        return u16(0) + u16(2) + u16(1) + u16(0) + u32(start) + u16(3) + u16(1) +
               u32(static_cast<std::uint32_t>(start + mac.size())) + mac + windows;
    }

    static std::string head() {
        return u32(0x00010000) + u32(0x00010000) + u32(0) + u32(0x5F0F3CF5) + u16(0x000B) + u16(kUnitsPerEm) +
               zeros(16) + u16(0) + u16(0) + u16(640) + u16(512) + u16(0) + u16(8) + u16(2) + u16(1) + u16(0);
    }

    static std::string hhea() {
        return u32(0x00010000) + u16(800) + u16(-224 & 0xffff) + u16(0) + u16(kAdvance) + u16(0) + u16(0) +
               u16(640) + u16(1) + u16(0) + u16(0) + zeros(8) + u16(0) + u16(kGlyphs);
    }

    static std::string maxp() {
        return u32(0x00010000) + u16(kGlyphs) + u16(4) + u16(1) + u16(0) + u16(0) + u16(2) + zeros(16);
    }

    std::string name() const {
        const auto utf16 = [](const std::string& text) {
            std::string wide;
            for (char c : text) {
                wide += u16(static_cast<unsigned char>(c));
            }
            return wide;
        };
        const std::string family = utf16(mFamily);
        const std::string style = utf16(mStyle);
        const int count = 2;
        std::string table = u16(0) + u16(count) + u16(6 + 12 * count);
        table += u16(3) + u16(1) + u16(0x409) + u16(1) + u16(static_cast<int>(family.size())) + u16(0);
        table += u16(3) + u16(1) + u16(0x409) + u16(2) + u16(static_cast<int>(style.size())) +
                 u16(static_cast<int>(family.size()));
        return table + family + style;
    }

    static std::string post() { return u32(0x00030000) + zeros(28); }

    static std::uint32_t checksum(const std::string& table) {
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i < table.size(); ++i) {
            sum += static_cast<std::uint32_t>(static_cast<unsigned char>(table[i])) << (24 - 8 * (i % 4));
        }
        return sum;
    }

    static std::string font(const std::map<std::string, std::string>& tables) {
        const int count = static_cast<int>(tables.size());
        std::string directory = u32(0x00010000) + u16(count) + searchFields(count, 16);
        std::string data;
        std::uint32_t offset = static_cast<std::uint32_t>(12 + 16 * count);
        for (const auto& [tag, table] : tables) {  // a std::map keeps the tags sorted
            directory +=
                tag + u32(checksum(table)) + u32(offset) + u32(static_cast<std::uint32_t>(table.size()));
            const std::string padded = table + zeros((4 - table.size() % 4) % 4);
            data += padded;
            offset += static_cast<std::uint32_t>(padded.size());
        }
        return directory + data;
    }

    std::string mFamily;
    std::string mStyle;
};

}  // namespace nevrik::testing
