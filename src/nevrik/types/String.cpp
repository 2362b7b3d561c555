#include "nevrik/types/String.h"

#include "nevrik/object/Exception.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace nevrik::types {
namespace {

char* allocate(std::uint32_t capacity) {
    auto* data = static_cast<char*>(std::malloc(capacity));
    if (data == nullptr) {
        throw std::bad_alloc();
    }
    return data;
}

std::uint32_t checkedLength(std::size_t length) {
    if (length > String::kMaxLength) {
        throw object::Exception("String: text too long");
    }
    return static_cast<std::uint32_t>(length);
}

std::size_t lengthOf(const char* text) noexcept { return text != nullptr ? std::strlen(text) : 0; }

}  // namespace

std::uint32_t String::capacityFor(std::uint32_t length) {
    if (length < 64) {
        return 64;
    }
    std::uint64_t base = 0x10000000u;
    while (base > length) {
        base >>= 1;
    }
    const std::uint64_t step = base / 4;
    // The smallest base + k*step, k >= 1, strictly above length.
    const std::uint64_t capacity = base + ((length - base) / step + 1) * step;
    if (capacity > 0xFFFFFFFFu) {
        throw object::Exception("String: text too long");
    }
    return static_cast<std::uint32_t>(capacity);
}

String::String(const char* text) : String(text, lengthOf(text)) {}

String::String(const char* text, std::size_t length) { assign(text, length); }

String::String(const String& other) : Object(other) { assign(other.mData, other.mLength); }

String::String(String&& other) noexcept
    : Object(other), mData(other.mData), mCapacity(other.mCapacity), mLength(other.mLength) {
    other.mData = nullptr;
    other.mCapacity = 0;
    other.mLength = 0;
}

String::~String() { freeBuffer(); }

String& String::operator=(const String& other) {
    if (this != &other) {
        assign(other.mData, other.mLength);
    }
    return *this;
}

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        freeBuffer();
        mData = other.mData;
        mCapacity = other.mCapacity;
        mLength = other.mLength;
        other.mData = nullptr;
        other.mCapacity = 0;
        other.mLength = 0;
    }
    return *this;
}

String& String::operator=(const char* text) {
    assign(text, lengthOf(text));
    return *this;
}

void String::assign(const char* text, std::size_t length) {
    if (length == 0) {
        freeBuffer();
        return;
    }
    const std::uint32_t n = checkedLength(length);
    if (n < mCapacity) {
        // memmove: the text may be part of this very buffer.
        std::memmove(mData, text, n);
        mData[n] = '\0';
        mLength = n;
        return;
    }
    const std::uint32_t capacity = capacityFor(n);
    char* data = allocate(capacity);
    std::memcpy(data, text, n);
    data[n] = '\0';
    std::free(mData);
    mData = data;
    mCapacity = capacity;
    mLength = n;
}

String& String::append(const char* text) { return append(text, lengthOf(text)); }

String& String::append(const char* text, std::size_t length) {
    if (length == 0) {
        return *this;
    }
    if (mData == nullptr) {
        assign(text, length);
        return *this;
    }
    const std::uint32_t total = checkedLength(std::size_t{mLength} + length);
    if (total < mCapacity) {
        // The appended text may come from this buffer, but only from before
        // the old NUL, so source and destination never overlap.
        std::memcpy(mData + mLength, text, length);
        mData[total] = '\0';
        mLength = total;
        return *this;
    }
    const std::uint32_t capacity = capacityFor(total);
    char* data = allocate(capacity);
    std::memcpy(data, mData, mLength);
    std::memcpy(data + mLength, text, length);
    data[total] = '\0';
    // Freed only now: `text` may have pointed into the old buffer.
    std::free(mData);
    mData = data;
    mCapacity = capacity;
    mLength = total;
    return *this;
}

String& String::operator+=(const String& other) { return append(other.c_str(), other.mLength); }

String operator+(const String& left, const char* right) {
    const std::size_t rightLength = lengthOf(right);
    if (rightLength == 0) {
        return left;
    }
    String result;
    const std::uint32_t total = checkedLength(std::size_t{left.mLength} + rightLength);
    result.mCapacity = String::capacityFor(total);
    result.mData = allocate(result.mCapacity);
    std::memcpy(result.mData, left.c_str(), left.mLength);
    std::memcpy(result.mData + left.mLength, right, rightLength + 1);
    result.mLength = total;
    return result;
}

String operator+(const String& left, const String& right) { return left + right.c_str(); }

String String::toLowerCase() const {
    String result(*this);
    for (std::uint32_t i = 0; i < result.mLength; ++i) {
        const char c = result.mData[i];
        if (c >= 'A' && c <= 'Z') {
            result.mData[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

String String::substring(std::uint32_t position) const {
    if (position >= mLength) {
        return String();
    }
    return String(mData + position, mLength - position);
}

bool String::endsWith(const char* suffix) const noexcept {
    const std::size_t n = lengthOf(suffix);
    return n <= mLength && std::memcmp(c_str() + (mLength - n), suffix, n) == 0;
}

int String::compare(const String& other) const noexcept {
    if (mLength == other.mLength) {
        return std::memcmp(c_str(), other.c_str(), mLength);
    }
    // strcmp's order, but bounded by the lengths so that texts holding NUL
    // bytes still order consistently with operator==.
    const std::uint32_t shorter = mLength < other.mLength ? mLength : other.mLength;
    const int order = std::memcmp(c_str(), other.c_str(), shorter);
    if (order != 0) {
        return order;
    }
    return mLength < other.mLength ? -1 : 1;
}

bool operator==(const String& a, const String& b) noexcept {
    return a.mLength == b.mLength && std::memcmp(a.c_str(), b.c_str(), a.mLength) == 0;
}

bool operator==(const String& a, const char* b) noexcept {
    const std::size_t n = lengthOf(b);
    return a.mLength == n && std::memcmp(a.c_str(), b != nullptr ? b : "", n) == 0;
}

String String::getName() const { return *this; }

String String::toString() const { return *this; }

void String::freeBuffer() noexcept {
    std::free(mData);
    mData = nullptr;
    mCapacity = 0;
    mLength = 0;
}

}  // namespace nevrik::types
