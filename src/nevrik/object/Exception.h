#pragma once

#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

#include <exception>

namespace nevrik::object {

/// Root of every exception the engine throws; carries a message.
///
/// Thrown by value, caught by reference. Made without a message, an exception
/// uses its class name ("Exception", "IOException", ...) as its text.
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

    const types::String& getMessage() const noexcept { return mMessage; }
    const char* what() const noexcept override { return mMessage.c_str(); }

protected:
    /// For subclasses: `fallback` is the class name used when `message` is null.
    Exception(const char* message, const char* fallback);

private:
    types::String mMessage;
};

}  // namespace nevrik::object

/// Declares the constructors, getName() and className() of an exception class
/// `Name` deriving from `Base`, whose text defaults to "Name".
#define NEVRIK_EXCEPTION_BODY(Name, Base)                                               \
public:                                                                                \
    explicit Name(const char* message = nullptr) : Base(message, #Name) {}              \
    explicit Name(const ::nevrik::types::String& message) : Base(message.c_str(), #Name) {} \
    ::nevrik::types::String getName() const override { return ::nevrik::types::String(#Name); } \
    NEVRIK_CLASS_NAME(Base, ":" #Name)                                                   \
                                                                                       \
protected:                                                                             \
    Name(const char* message, const char* fallback) : Base(message, fallback) {}

/// An exception class with nothing but its name: `NEVRIK_EXCEPTION(IOException, Exception);`
#define NEVRIK_EXCEPTION(Name, Base) \
    class Name : public Base {       \
        NEVRIK_EXCEPTION_BODY(Name, Base)  \
    }
