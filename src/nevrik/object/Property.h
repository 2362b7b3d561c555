#pragma once

#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <cstdint>

namespace nevrik::object {

class PropertyList;

/// A named setting that a format translator accepts: a kind, a name, a
/// description, a current value and a default value.
///
/// A pointer no longer fits a 32-bit word, so a value keeps typed fields
/// instead of two overloaded words: a text (kind kText, owned as a heap
/// copy, deep-copied with the property), an object (kind kObject, borrowed:
/// no reference held) and two plain words (every other kind). Held by value
/// in a PropertyList; not synchronised.
class Property : public Object {
public:
    static constexpr std::int32_t kText = 1;
    static constexpr std::int32_t kObject = 5;
    /// The kind of the record that ends a property table.
    static constexpr std::int32_t kTableEnd = 0x7FFFFFFF;

    struct Value {
        types::String text;
        Object* object = nullptr;
        std::uint32_t words[2] = {};
    };

    /// One record of a static property table; the default value is `text`
    /// for kText, `object` for kObject and `words` for other kinds.
    struct TableRecord {
        std::int32_t kind;
        const char* name;
        const char* description;
        const char* text;
        Object* object;
        std::uint32_t words[2];
    };

    /// A property of `kind` whose default (and value) is empty.
    Property(std::int32_t kind, const char* name, const char* description = nullptr);
    /// A property made from a table record; its value starts as the default.
    explicit Property(const TableRecord& record);

    /// Sets the value; each returns false, changing nothing, when the
    /// property is of another kind. Texts are copied; objects are borrowed.
    bool setText(const char* text);
    bool setObject(Object* object) noexcept;
    bool setWords(std::uint32_t first, std::uint32_t second) noexcept;
    /// Makes the value equal to the default again.
    void reset();

    /// The property's name.
    types::String getName() const override;
    NEVRIK_CLASS_NAME(Object, ":Property")

    std::int32_t getKind() const noexcept { return mKind; }
    const types::String& getDescription() const noexcept { return mDescription; }
    const Value& getValue() const noexcept { return mValue; }
    const Value& getDefaultValue() const noexcept { return mDefaultValue; }

private:
    friend class PropertyList;

    types::String mName;
    types::String mDescription;
    std::int32_t mKind;
    Value mValue;
    Value mDefaultValue;
};

}  // namespace nevrik::object
