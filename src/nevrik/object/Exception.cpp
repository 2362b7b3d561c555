#include "nevrik/object/Exception.h"

namespace nevrik::object {

Exception::Exception(const char* message) : Exception(message, "Exception") {}

Exception::Exception(const types::String& message) : Exception(message.c_str(), "Exception") {}

Exception::Exception(const char* message, const char* fallback)
    : mMessage(message != nullptr ? message : fallback) {}

types::String Exception::getName() const { return types::String("Exception"); }

types::String Exception::toString() const { return mMessage; }

}  // namespace nevrik::object
