#include "clonefile/file_replacement.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

namespace qx {

namespace fs = std::filesystem;

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// A fresh name beside the target keeps the final rename on one file system.
FilePtr createBeside(const fs::path& target, fs::path& tempPath) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::random_device device;
    std::mt19937 random(device());
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string name(1, '.');
        name += target.filename().string();
        name += '.';
        for (std::uint32_t value = random(), i = 0; i < 8; ++i, value >>= 4) {
            name.push_back(kHex[value & 0xF]);
        }
        name += ".tmp";
        tempPath = folder / name;
        // "x": never take over a file that appeared under the same name.
        if (std::FILE* file = std::fopen(tempPath.string().c_str(), "wbx")) {
            return FilePtr(file);
        }
        std::error_code ec;
        if (!fs::exists(tempPath, ec)) {
            break; // the folder takes no new files; another name will not help
        }
    }
    return nullptr;
}

} // namespace

FileErrorCode replaceFileContents(const std::string& path, std::string_view contents) {
    std::error_code ec;
    fs::path target(path);
    // Writing through a link replaces the file it points to, not the link.
    if (fs::is_symlink(target, ec)) {
        target = fs::weakly_canonical(target, ec);
        if (ec) {
            return FileErrorCode::FileOpen;
        }
    }
    const bool replacing = fs::exists(target, ec);
    if (replacing) {
        // What could not be opened for writing stays refused, as a plain overwrite would be.
        if (fs::is_directory(target, ec)) {
            return FileErrorCode::FileOpen;
        }
        if (!FilePtr(std::fopen(target.string().c_str(), "r+b"))) {
            return FileErrorCode::FileOpen;
        }
    }
    fs::path tempPath;
    FilePtr file = createBeside(target, tempPath);
    if (!file) {
        return FileErrorCode::FileOpen;
    }
    const bool written =
        std::fwrite(contents.data(), 1, contents.size(), file.get()) == contents.size() &&
        std::fflush(file.get()) == 0 && std::ferror(file.get()) == 0;
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        fs::remove(tempPath, ec);
        return FileErrorCode::FileAccess;
    }
    if (replacing) {
        fs::permissions(tempPath, fs::status(target, ec).permissions(), ec);
    }
    fs::rename(tempPath, target, ec);
    if (ec) {
        fs::remove(tempPath, ec);
        return FileErrorCode::FileAccess;
    }
    return FileErrorCode::Ok;
}

} // namespace qx
