#pragma once

#include "nevrik/container/Chainable.h"
#include "nevrik/io/File.h"
#include "nevrik/io/InputStream.h"
#include "nevrik/io/OutputStream.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/object/PropertyList.h"

#include <cstdint>

namespace nevrik::io {

/// A format plug-in: recognises a file format and decodes a T from it.
///
/// A translator is registered in a TranslatorRoster<T> (a chain that holds a
/// reference on it) or used directly. It may also be held by value, as the
/// image roster holds its built-in ones: destroyed while registered, it
/// unlinks itself and its roster simply has one member fewer. One thread at a
/// time; per-call state lives on the stack or is reset at the start of read().
template <class T>
class Translator : public object::Object, public container::Chainable<Translator<T>> {
public:
    /// Decodes one T from `stream`, which holds `size` bytes for it. Returns
    /// the new object with its only reference, or null. Throws
    /// TranslatorFormatException for data it cannot read and
    /// TranslatorMemoryException when the object cannot be made.
    virtual object::Pointer<T> read(InputStream& stream, std::uint32_t size) = 0;
    /// Encodes `object` to `stream`; false when the format cannot be written.
    virtual bool write(OutputStream& stream, T& object) = 0;
    /// Whether the data at the file's position is in this format. Reads
    /// through the file and may leave its position anywhere; returns false,
    /// never throws, for data it does not recognise.
    virtual bool probe(File& file) = 0;
    /// A new list describing the translator's settings, with its only
    /// reference; empty unless a translator has settings.
    virtual object::Pointer<object::PropertyList> getProperties() {
        return object::make<object::PropertyList>();
    }
    /// Applies the settings of `list` that the translator knows; by default none.
    virtual void setProperties(const object::PropertyList&) {}

    NEVRIK_CLASS_NAME(object::Object, ":Translator")
};

}  // namespace nevrik::io
