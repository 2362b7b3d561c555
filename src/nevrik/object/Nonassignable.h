#pragma once

namespace nevrik::object {

/// Marker base: the class may be copy-constructed but never assigned.
class Nonassignable {
public:
    Nonassignable& operator=(const Nonassignable&) = delete;

protected:
    Nonassignable() = default;
    Nonassignable(const Nonassignable&) = default;
    ~Nonassignable() = default;
};

}  // namespace nevrik::object
