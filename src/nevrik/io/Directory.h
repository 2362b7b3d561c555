#pragma once

#include "nevrik/container/List.h"
#include "nevrik/io/FileInfo.h"
#include "nevrik/object/Object.h"
#include "nevrik/types/String.h"

namespace nevrik::io {

/// A listing of one folder: its path and one FileInfo per entry, in the order
/// the system gives them.
///
/// Made by a FileFactory with one reference for the caller, or held by value.
/// One thread at a time.
class Directory : public object::Object {
public:
    /// Reads the entries of the path. On failure throws
    /// DirectoryNotFoundException and leaves the entries as they were.
    virtual void refresh() = 0;
    /// Takes the path to list; the entries stay until the next refresh().
    virtual void setPath(const types::String& path) = 0;

    /// Empties the entries, takes `path` and reads it; on failure the entries
    /// stay empty and the exception of refresh() passes through.
    void open(const types::String& path);

    NEVRIK_CLASS_NAME(object::Object, ":Directory")

    const types::String& getPath() const noexcept { return mPath; }
    const container::List<FileInfo>& getEntries() const noexcept { return mEntries; }

protected:
    void storePath(const types::String& path) { mPath = path; }
    void clearEntries() noexcept { mEntries.clear(); }
    void addEntry(const FileInfo& entry) { mEntries.append(entry); }

private:
    types::String mPath;
    // Entries come from the list's pool, 64 to a block.
    container::List<FileInfo> mEntries;
};

}  // namespace nevrik::io
