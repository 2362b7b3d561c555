#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace nevrik::testing {

/// A fresh folder under the system's temporary folder, removed with all it
/// holds when the fixture dies.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "nevrik-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        mPath = pattern;
    }
    ~TempFolder() { std::filesystem::remove_all(mPath); }

    const std::filesystem::path& path() const { return mPath; }
    std::string operator/(const std::string& name) const { return (mPath / name).string(); }

    /// Copies what `folder` holds in: files open exclusively, so tests that
    /// run side by side each read fixtures of their own.
    void copyIn(const std::filesystem::path& folder) const {
        std::filesystem::copy(folder, mPath, std::filesystem::copy_options::recursive);
    }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(*this / name, std::ios::binary) << bytes;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(*this / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path mPath;
};

}  // namespace nevrik::testing
