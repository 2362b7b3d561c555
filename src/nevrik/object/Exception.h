#pragma once

#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <exception>
#include <vector>

namespace nevrik::object {

/// Root of every exception the engine throws; carries a message and where it
/// happened.
///
/// Thrown by value, caught by reference. Made without a message, an exception
/// uses its class name ("Exception", "IOException", ...) as its text. The
/// message never changes; each layer that knows where the failure happened
/// (the file, the chunk, the object) adds that with addContext() on the
/// caught exception and rethrows it with `throw;`, which keeps its class.
/// Subclasses pass their class name to the protected constructor and override
/// getName() and className().
class Exception : public Object, public std::exception {
public:
    explicit Exception(const char* message = nullptr);
    explicit Exception(const types::String& message);

    /// The class name, not the path: "Exception".
    types::String getName() const override;
    /// The message.
    types::String toString() const override;
    NEVRIK_CLASS_NAME(Object, ":Exception")

    /// Adds where the failure happened, one layer further out than the
    /// contexts added before.
    void addContext(const types::String& where);
    /// Whether a layer has named `where` already.
    bool hasContext(const types::String& where) const;
    /// The full description: the contexts from the outermost in, then the
    /// message, each followed by ": " but the last.
    types::String describe() const;

    const types::String& getMessage() const noexcept { return mMessage; }
    /// The contexts, innermost first.
    const std::vector<types::String>& getContext() const noexcept { return mContext; }
    const char* what() const noexcept override { return mMessage.c_str(); }

protected:
    /// For subclasses: `fallback` is the class name used when `message` is null.
    Exception(const char* message, const char* fallback);

private:
    types::String mMessage;
    std::vector<types::String> mContext;
};

/// Throws `error` with `where` (when not empty) as the place it happened.
template <class E>
[[noreturn]] void raiseAt(E error, const types::String& where) {
    if (!where.isEmpty()) {
        error.addContext(where);
    }
    throw error;
}

}  // namespace nevrik::object

/// Declares the constructors, getName() and className() of an exception class
/// `Name` deriving from `Base`, whose text defaults to "Name".
#define NEVRIK_EXCEPTION_BODY(Name, Base)                                                   \
public:                                                                                     \
    explicit Name(const char* message = nullptr) : Base(message, #Name) {}                  \
    explicit Name(const ::nevrik::types::String& message) : Base(message.c_str(), #Name) {} \
    ::nevrik::types::String getName() const override {                                      \
        return ::nevrik::types::String(#Name);                                              \
    }                                                                                       \
    NEVRIK_CLASS_NAME(Base, ":" #Name)                                                      \
                                                                                            \
protected:                                                                                  \
    Name(const char* message, const char* fallback) : Base(message, fallback) {}

/// An exception class with nothing but its name: `NEVRIK_EXCEPTION(IOException, Exception);`
#define NEVRIK_EXCEPTION(Name, Base)      \
    class Name : public Base {            \
        NEVRIK_EXCEPTION_BODY(Name, Base) \
    }
