#include "nevrik/object/Property.h"

namespace nevrik::object {

Property::Property(std::int32_t kind, const char* name, const char* description)
    : mName(name), mDescription(description), mKind(kind) {}

Property::Property(const TableRecord& record) : Property(record.kind, record.name, record.description) {
    // Only the field of the record's kind counts; the rest of the record is
    // ignored, so a table may leave it as anything.
    if (mKind == kText) {
        mDefaultValue.text = record.text;
    } else if (mKind == kObject) {
        mDefaultValue.object = record.object;
    } else {
        mDefaultValue.words[0] = record.words[0];
        mDefaultValue.words[1] = record.words[1];
    }
    mValue = mDefaultValue;
}

bool Property::setText(const char* text) {
    if (mKind != kText) {
        return false;
    }
    mValue.text = text;
    return true;
}

bool Property::setObject(Object* object) noexcept {
    if (mKind != kObject) {
        return false;
    }
    mValue.object = object;
    return true;
}

bool Property::setWords(std::uint32_t first, std::uint32_t second) noexcept {
    if (mKind == kText || mKind == kObject) {
        return false;
    }
    mValue.words[0] = first;
    mValue.words[1] = second;
    return true;
}

void Property::reset() {
    mValue = mDefaultValue;
}

types::String Property::getName() const {
    return mName;
}

}  // namespace nevrik::object
