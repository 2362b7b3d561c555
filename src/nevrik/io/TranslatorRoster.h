#pragma once

#include "nevrik/container/Chain.h"
#include "nevrik/io/File.h"
#include "nevrik/io/FileFactory.h"
#include "nevrik/io/FileNotFoundException.h"
#include "nevrik/io/Translator.h"
#include "nevrik/io/TranslatorFormatException.h"
#include "nevrik/object/Object.h"
#include "nevrik/object/Pointer.h"
#include "nevrik/types/String.h"

namespace nevrik::io {

/// The translators of one kind of object, asked in registration order which
/// of them reads a file.
///
/// Holds one reference on each registered translator; a translator destroyed
/// while registered (one held by value) drops out by itself. Reference-counted
/// or held by value; one thread at a time.
template <class T>
class TranslatorRoster : public object::Object {
public:
    /// Appends `translator` and takes a reference on it. Returns false,
    /// changing nothing, when it is null or already registered in a roster.
    bool add(Translator<T>* translator) noexcept { return mTranslators.add(translator); }

    /// The first translator whose probe recognises the file, or null. Every
    /// probe starts at the file's position, and the file is back there when
    /// find returns or throws, whatever the probes did.
    Translator<T>* find(File& file) {
        const std::int32_t start = file.getPosition();
        for (Translator<T>* translator : mTranslators) {
            bool recognised = false;
            try {
                recognised = translator->probe(file);
            } catch (...) {
                file.seek(start, File::kBegin);
                throw;
            }
            file.seek(start, File::kBegin);
            if (recognised) {
                return translator;
            }
        }
        return nullptr;
    }

    /// The translator find() picks for `file`; throws
    /// TranslatorFormatException when none claims it.
    Translator<T>& claim(File& file) {
        Translator<T>* translator = find(file);
        if (translator == nullptr) {
            throw TranslatorFormatException();
        }
        return *translator;
    }

    /// Opens `name` for reading through `factory`, finds its translator and
    /// decodes the whole file. Returns the new object with its only
    /// reference (null when the translator gives none). Throws
    /// FileNotFoundException when the factory gives no file,
    /// TranslatorFormatException when no translator claims it, and whatever
    /// the factory or the translator throws, each naming the file (the
    /// factory's join() of `name`) in its context once. The file is released
    /// either way.
    object::Pointer<T> load(FileFactory& factory, const types::String& name) {
        try {
            const object::Pointer<File> file = factory.open(name, File::kRead);
            if (!file) {
                throw FileNotFoundException();
            }
            Translator<T>& translator = claim(*file);
            InputStream& stream = file->getInputStream();
            return translator.read(stream, stream.available());
        } catch (object::Exception& error) {
            // The file layer names the file in its own failures; the
            // translators, which read streams, cannot.
            const types::String path = factory.join(name);
            if (!error.hasContext(path)) {
                error.addContext(path);
            }
            throw;
        }
    }

    NEVRIK_CLASS_NAME(object::Object, ":TranslatorRoster")

    const container::Chain<Translator<T>>& getTranslators() const noexcept { return mTranslators; }

private:
    container::Chain<Translator<T>> mTranslators;
};

}  // namespace nevrik::io
