#pragma once

#include "nevrik/system/Assembler.h"

namespace nevrik::graphics3d::detail {

/// Makes OpenGL calls at once: one of the two call sinks through which a
/// resource's binding steps are written once and either run or compiled.
struct ImmediateCalls {
    template <class F, class... Arguments>
    void operator()(F function, Arguments... arguments) const {
        function(arguments...);
    }
};

/// Appends the same OpenGL calls, with the same arguments, to an assembler.
struct RecordedCalls {
    template <class F, class... Arguments>
    void operator()(F function, Arguments... arguments) const {
        assembler.callStd(function, arguments...);
    }

    system::Assembler& assembler;
};

}  // namespace nevrik::graphics3d::detail
