#pragma once

#include "nevrik/container/Chain.h"
#include "nevrik/object/AttachmentBase.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::object {

/// The attachment records of one scene node, owned by the list: it unlinks
/// and deletes every record when cleared or destroyed. A copy starts empty,
/// since records belong to one node. Lives by value in its node; used on the
/// node's thread only.
class AttachmentList : public Object {
public:
    using Iterator = container::Chain<AttachmentBase>::Iterator;

    AttachmentList() noexcept = default;
    AttachmentList(const AttachmentList& other) noexcept;
    /// Keeps this list's own records.
    AttachmentList& operator=(const AttachmentList&) noexcept { return *this; }
    ~AttachmentList() override;

    /// Takes ownership of `attachment` (made with new). Returns false, changing
    /// nothing, when it is null or already on a list; the caller keeps it then.
    bool add(AttachmentBase* attachment) noexcept;
    /// Unlinks and deletes every record.
    void clear() noexcept;

    NEVRIK_CLASS_NAME(Object, ":AttachmentList")

    int getCount() const noexcept { return mAttachments.getCount(); }
    Iterator begin() const noexcept { return mAttachments.begin(); }
    Iterator end() const noexcept { return mAttachments.end(); }

private:
    container::Chain<AttachmentBase> mAttachments;
};

}  // namespace nevrik::object
