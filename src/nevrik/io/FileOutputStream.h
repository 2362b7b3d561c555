#pragma once

#include "nevrik/io/OutputStream.h"
#include "nevrik/object/Pointer.h"

namespace nevrik::io {

class File;

/// Writes a File through its own operations.
///
/// Every File embeds one, bound to itself, which holds no reference on its
/// file and whose close() changes nothing. A stream made on its own over a
/// file holds one reference on it until close() or destruction; once closed,
/// every operation returns 0 (false) and the file is not touched. One thread
/// at a time.
class FileOutputStream : public OutputStream {
public:
    /// Binds to `file`, which may be null (the stream is then closed). The
    /// stream is embedded when it is the one `file` hands out.
    explicit FileOutputStream(File* file);
    ~FileOutputStream() override;

    /// 0 unless the file was opened with File::kWrite.
    std::int32_t write(const void* buffer, std::int32_t count) override;
    bool flush() override;
    /// A stand-alone stream gives back its file reference (once); the embedded
    /// stream stays bound. Returns true.
    bool close() override;

    NEVRIK_CLASS_NAME(OutputStream, ":FileOutputStream")

    /// The bound file, or null once a stand-alone stream is closed.
    File* getFile() const noexcept { return mFile; }

private:
    File* mFile;
    object::Pointer<File> mReference;
};

}  // namespace nevrik::io
