#pragma once

#include "nevrik/io/InputStream.h"
#include "nevrik/object/Pointer.h"

namespace nevrik::io {

class File;

/// Reads a File through its own operations.
///
/// Every File embeds one, bound to itself, which holds no reference on its
/// file (that would be a cycle) and whose close() changes nothing. A stream
/// made on its own over a file holds one reference on it until close() or
/// destruction; once closed, every operation returns 0 and the file is not
/// touched. One thread at a time.
class FileInputStream : public InputStream {
public:
    /// Binds to `file`, which may be null (the stream is then closed). The
    /// stream is embedded when it is the one `file` hands out.
    explicit FileInputStream(File* file);
    ~FileInputStream() override;

    /// 0 unless the file was opened with File::kRead.
    std::int32_t read(void* buffer, std::int32_t count) override;
    /// Seeks `count` bytes from the current position (past the end too);
    /// returns the distance moved. Seek failures throw as File::seek does.
    std::int32_t skip(std::int32_t count) override;
    /// The file's size minus its position; 0 when the position is at or past the end.
    std::uint32_t available() override;
    /// A stand-alone stream gives back its file reference (once); the embedded
    /// stream stays bound. Returns true.
    bool close() override;

    NEVRIK_CLASS_NAME(InputStream, ":FileInputStream")

    /// The bound file, or null once a stand-alone stream is closed.
    File* getFile() const noexcept { return mFile; }

private:
    File* mFile;
    object::Pointer<File> mReference;
};

}  // namespace nevrik::io
