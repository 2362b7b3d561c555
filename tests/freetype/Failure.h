#pragma once

#include "nevrik/freetype/FreetypeException.h"

#include <string>

namespace nevrik::testing {

/// The class path and message of the FreetypeException that `call` throws,
/// as "Object:Exception:FreetypeException:NoMatchException / NoMatchException",
/// or "nothing".
template <class Call>
std::string freetypeFailureOf(Call call) {
    try {
        call();
    } catch (const freetype::FreetypeException& error) {
        return std::string(error.className().c_str()) + " / " + error.getMessage().c_str();
    }
    return "nothing";
}

}  // namespace nevrik::testing
