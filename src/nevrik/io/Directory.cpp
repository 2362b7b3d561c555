#include "nevrik/io/Directory.h"

namespace nevrik::io {

void Directory::open(const types::String& path) {
    clearEntries();
    setPath(path);
    refresh();
}

}  // namespace nevrik::io
