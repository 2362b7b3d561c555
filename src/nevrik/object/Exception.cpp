#include "nevrik/object/Exception.h"

#include <algorithm>

namespace nevrik::object {

Exception::Exception(const char* message) : Exception(message, "Exception") {}

Exception::Exception(const types::String& message) : Exception(message.c_str(), "Exception") {}

Exception::Exception(const char* message, const char* fallback)
    : mMessage(message != nullptr ? message : fallback) {}

void Exception::addContext(const types::String& where) {
    mContext.push_back(where);
}

bool Exception::hasContext(const types::String& where) const {
    return std::find(mContext.begin(), mContext.end(), where) != mContext.end();
}

types::String Exception::describe() const {
    types::String text;
    for (auto where = mContext.rbegin(); where != mContext.rend(); ++where) {
        text = text + *where + ": ";
    }
    return text + mMessage;
}

types::String Exception::getName() const {
    return types::String("Exception");
}

types::String Exception::toString() const {
    return mMessage;
}

}  // namespace nevrik::object
