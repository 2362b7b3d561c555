#include "nevrik/object/AttachmentList.h"

namespace nevrik::object {

AttachmentList::AttachmentList(const AttachmentList& other) noexcept : Object(other) {}

AttachmentList::~AttachmentList() {
    clear();
}

bool AttachmentList::add(AttachmentBase* attachment) noexcept {
    return mAttachments.add(attachment);
}

void AttachmentList::clear() noexcept {
    while (AttachmentBase* attachment = mAttachments.getFirst()) {
        mAttachments.remove(attachment);
        delete attachment;
    }
}

}  // namespace nevrik::object
