#pragma once

#include "nevrik/object/Object.h"

#include <cstddef>
#include <cstdint>

namespace nevrik::types {

/// The engine's text: 8-bit bytes, NUL-terminated, in a heap buffer sized by
/// the capacity rule (see capacityFor()).
///
/// Itself an Object, though nearly always held by value. Copies never share
/// buffers. A string that never held text, or was emptied by assignment, has
/// no buffer; its text then reads as "". Not synchronised.
class String : public object::Object {
public:
    /// Longest text a String can hold; longer requests throw object::Exception.
    static constexpr std::uint32_t kMaxLength = 0xC0000000u;

    String() noexcept = default;
    String(const char* text);
    String(const char* text, std::size_t length);
    String(const String& other);
    String(String&& other) noexcept;
    ~String() override;

    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;
    String& operator=(const char* text);

    /// Appends `text`, which may point into this string's own buffer.
    String& append(const char* text);
    String& append(const char* text, std::size_t length);
    String& operator+=(const char* text) { return append(text); }
    String& operator+=(const String& other);

    friend String operator+(const String& left, const char* right);
    friend String operator+(const String& left, const String& right);

    /// A copy with A-Z turned into a-z; every other byte unchanged.
    String toLowerCase() const;
    /// The characters from `position` to the end; empty when position >= length.
    String substring(std::uint32_t position) const;
    bool endsWith(const char* suffix) const noexcept;

    /// strcmp order over the bytes as unsigned; equal-length texts are tested
    /// for equality first.
    int compare(const String& other) const noexcept;
    friend bool operator==(const String& a, const String& b) noexcept;
    friend bool operator!=(const String& a, const String& b) noexcept { return !(a == b); }
    friend bool operator<(const String& a, const String& b) noexcept { return a.compare(b) < 0; }
    friend bool operator==(const String& a, const char* b) noexcept;
    friend bool operator!=(const String& a, const char* b) noexcept { return !(a == b); }

    /// A copy of itself.
    String getName() const override;
    String toString() const override;
    NEVRIK_CLASS_NAME(object::Object, ":String")

    /// The text; "" when there is no buffer, never null.
    const char* c_str() const noexcept { return mData != nullptr ? mData : ""; }
    char operator[](std::uint32_t index) const noexcept { return c_str()[index]; }
    std::uint32_t getLength() const noexcept { return mLength; }
    std::uint32_t getCapacity() const noexcept { return mCapacity; }
    bool isEmpty() const noexcept { return mLength == 0; }

    /// Buffer size for a text of `length` > 0 characters: 64 below 64; otherwise
    /// the smallest c + k*c/4 (k >= 1) above `length`, c being the largest power
    /// of two not above it, at most 2^28.
    static std::uint32_t capacityFor(std::uint32_t length);

private:
    void assign(const char* text, std::size_t length);
    void freeBuffer() noexcept;

    char* mData = nullptr;
    std::uint32_t mCapacity = 0;
    std::uint32_t mLength = 0;
};

}  // namespace nevrik::types
