#pragma once

namespace nevrik::object {

/// Marker base: the class can be neither copied nor assigned.
class Noncopyable {
public:
    Noncopyable(const Noncopyable&) = delete;
    Noncopyable& operator=(const Noncopyable&) = delete;

protected:
    Noncopyable() = default;
    ~Noncopyable() = default;
};

}  // namespace nevrik::object
