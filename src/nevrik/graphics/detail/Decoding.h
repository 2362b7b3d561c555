#pragma once

#include "nevrik/graphics/Bitmap.h"
#include "nevrik/io/File.h"
#include "nevrik/io/InputStream.h"
#include "nevrik/object/Pointer.h"

#include <cstdint>
#include <vector>

namespace nevrik::graphics::detail {

/// Largest width, height or depth a decoder accepts from a file.
constexpr std::int64_t kMaxDimension = 65536;
/// The size argument of Translator::read that stands for stream.available().
constexpr std::uint32_t kSizeFromStream = 0xFFFFFFFFu;

inline std::uint16_t readU16(const std::uint8_t* bytes) noexcept {
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

inline std::uint32_t readU32(const std::uint8_t* bytes) noexcept {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

/// The format of uncompressed pixels of `bits` bits per pixel: 1, 2, 4 and 8
/// are palette indices, 15 is PIXEL_RGB555, 16 is `sixteen`, 24 and 32 are
/// PIXEL_BGR8 and PIXEL_BGRA8. Any other count throws TranslatorFormatException.
std::uint32_t formatForBits(int bits, std::uint32_t sixteen);

/// `size`, or what the stream has left when it is kSizeFromStream.
std::uint32_t resolveSize(io::InputStream& stream, std::uint32_t size);

/// Reads up to `count` bytes, going on after short reads; returns how many came.
std::int32_t readFully(io::InputStream& stream, void* buffer, std::int32_t count);

/// Reads exactly `count` bytes or throws TranslatorFormatException.
void readExactly(io::InputStream& stream, void* buffer, std::int32_t count);

/// The next `limit` bytes, or fewer when the stream ends first. The buffer
/// grows with the data that arrives, not with what `limit` promises.
std::vector<std::uint8_t> readUpTo(io::InputStream& stream, std::uint32_t limit);

/// Moves `count` bytes on, reading what the stream will not skip; returns how
/// far it got.
std::uint32_t skipForward(io::InputStream& stream, std::uint32_t count);

/// For probes: reads up to `count` bytes at the file's position; 0 when the
/// file throws.
std::int32_t peek(io::File& file, void* buffer, std::int32_t count) noexcept;

/// Refuses with TranslatorFormatException `count` images of width x height
/// pixels of `format` when a side is negative or above kMaxDimension or their
/// bytes together pass `limit`. Returns those bytes.
std::int64_t checkSize(std::uint32_t format, std::int64_t width, std::int64_t height, std::int64_t limit,
                       std::int64_t count = 1);

/// Refuses with TranslatorFormatException data needing `needed` bytes of
/// input when only `present` are left: checked before anything is reserved.
void requireInput(std::int64_t needed, std::int64_t present);

/// A new bitmap after checkSize; memory shortage becomes TranslatorMemoryException.
object::Pointer<Bitmap> createBitmap(std::uint32_t format, std::int64_t width, std::int64_t height,
                                     std::int64_t limit);

/// Swaps rows pairwise from the outside in: bottom-up pictures made top-down.
/// Throws TranslatorMemoryException when a row's scratch cannot be had.
void reverseRows(std::uint8_t* pixels, std::int64_t pitch, std::int64_t height);

/// A buffer of `count` bytes; memory shortage becomes TranslatorMemoryException.
std::vector<std::uint8_t> allocate(std::size_t count);

}  // namespace nevrik::graphics::detail
