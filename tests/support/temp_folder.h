#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace qx::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::random_device device;
        for (;;) {
            m_path = std::filesystem::temp_directory_path() /
                     ("qx5130-test-" + std::to_string(device()));
            if (std::filesystem::create_directory(m_path)) {
                break;
            }
        }
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

    // Writes bytes exactly as given (no line-end translation).
    std::string write(const std::string& name, const std::string& bytes) const {
        const std::string p = file(name);
        std::ofstream(p, std::ios::binary) << bytes;
        return p;
    }

    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_path;
};

} // namespace qx::test
