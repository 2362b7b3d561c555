#pragma once

#include "nevrik/container/Chainable.h"

namespace nevrik::object {

/// A plain record attached to a scene node through its AttachmentList, which
/// owns it and deletes it through this base. Not an Object: no count, no
/// class path. A copy starts on no list.
class AttachmentBase : public container::Chainable<AttachmentBase> {
public:
    AttachmentBase() noexcept = default;
    AttachmentBase(const AttachmentBase&) noexcept = default;
    AttachmentBase& operator=(const AttachmentBase&) noexcept = default;
    virtual ~AttachmentBase() = default;
};

}  // namespace nevrik::object
