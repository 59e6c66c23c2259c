#include "cli_files.h"

#include "app/document.h"
#include "cli_command.h"
#include "clonefile/file_replacement.h"
#include "clonefile/icf_file.h"
#include "stderr_prompt.h"
#include "text/text_table.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace qx::cli {

namespace {

// No clone file or channel list comes near this size; more is refused rather than held in
// memory.
constexpr std::size_t kMaxStandardInput = 16 * 1024 * 1024;

std::string shownPath(const std::string& path, bool output) {
    if (CliFiles::isStandardStream(path)) {
        return output ? "(standard output)" : "(standard input)";
    }
    return path;
}

bool readStandardInput(std::string& text, FileErrorDetail& detail) {
    char buffer[65536];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, stdin);
        text.append(buffer, n);
        if (text.size() > kMaxStandardInput) {
            detail.reason = make_error_code(FileReason::TooLarge);
            return false;
        }
        if (n < sizeof buffer) {
            if (std::ferror(stdin)) {
                detail.reason = std::error_code(errno, std::generic_category());
                return false;
            }
            return true;
        }
    }
}

bool writeStandardOutput(std::string_view contents, FileErrorDetail& detail) {
    errno = 0;
    if (std::fwrite(contents.data(), 1, contents.size(), stdout) != contents.size() ||
        std::fflush(stdout) != 0) {
        detail.reason = std::error_code(errno != 0 ? errno : EIO, std::generic_category());
        return false;
    }
    return true;
}

} // namespace

void CliFiles::printDetail(const std::string& path, const FileErrorDetail& detail) {
    std::string line = path;
    if (detail.line > 0) {
        line += ": line " + std::to_string(detail.line);
    }
    if (detail.reason) {
        line += ": " + detail.reason.message();
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

int CliFiles::fail(FileErrorCode code, const std::string& path, const FileErrorDetail& detail) {
    m_prompt.print(cmcIcfFile::errorText(m_texts, code));
    printDetail(path, detail);
    return kExitFileError;
}

int CliFiles::open(const std::string& path) {
    bool opened = false;
    if (isStandardStream(path)) {
        if (!m_stdinRead) {
            FileErrorDetail detail;
            if (!readStandardInput(m_stdinText, detail)) {
                return fail(detail.reason == FileReason::TooLarge ? FileErrorCode::Format
                                                                  : FileErrorCode::FileAccess,
                            shownPath(path, false), detail);
            }
            m_stdinRead = true;
        }
        opened = m_document.openText(m_stdinText);
    } else {
        opened = m_document.openFile(path);
    }
    if (opened) {
        return kExitOk;
    }
    // The document has shown the editor's text already.
    printDetail(shownPath(path, false), m_document.lastFileDetail());
    return kExitFileError;
}

void CliFiles::lock(const std::string& path) {
    if (m_lock.covers(path)) {
        return;
    }
    m_lock.acquire(path, [&path] {
        std::fprintf(stderr, "%s: another command is changing the file; waiting for it\n",
                     path.c_str());
    });
}

int CliFiles::openForChange(const std::string& path, const std::string& output) {
    std::error_code ec;
    if (!isStandardStream(path) &&
        (path == output || std::filesystem::equivalent(path, output, ec))) {
        lock(path);
    }
    return open(path);
}

int CliFiles::save(const std::string& path) {
    if (isStandardStream(path)) {
        return writeText(path, m_document.savedText());
    }
    lock(path);
    if (m_document.saveFile(path)) {
        return kExitOk;
    }
    printDetail(path, m_document.lastFileDetail());
    return kExitFileError;
}

int CliFiles::readText(const std::string& path, std::string& contents) {
    FileErrorDetail detail;
    if (isStandardStream(path)) {
        if (!m_stdinRead) {
            if (!readStandardInput(m_stdinText, detail)) {
                return fail(FileErrorCode::FileAccess, shownPath(path, false), detail);
            }
            m_stdinRead = true;
        }
        contents = m_stdinText;
        return kExitOk;
    }
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec)) {
        detail.reason = make_error_code(FileReason::NotRegularFile);
        return fail(FileErrorCode::FileOpen, path, detail);
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        detail.reason = std::error_code(errno, std::generic_category());
        return fail(FileErrorCode::FileOpen, path, detail);
    }
    contents.clear();
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0 &&
           contents.size() <= kMaxStandardInput) {
        contents.append(buffer, n);
    }
    const bool failed = std::ferror(file) != 0;
    const int error = errno;
    std::fclose(file);
    if (failed || contents.size() > kMaxStandardInput) {
        detail.reason = failed ? std::error_code(error, std::generic_category())
                               : make_error_code(FileReason::TooLarge);
        return fail(FileErrorCode::FileAccess, path, detail);
    }
    return kExitOk;
}

int CliFiles::writeText(const std::string& path, std::string_view contents) {
    FileErrorDetail detail;
    if (isStandardStream(path)) {
        return writeStandardOutput(contents, detail)
                   ? kExitOk
                   : fail(FileErrorCode::FileAccess, shownPath(path, true), detail);
    }
    const FileErrorCode result = replaceFileContents(path, contents, detail.reason);
    return result == FileErrorCode::Ok ? kExitOk : fail(result, path, detail);
}

int CliFiles::checkWritable(const std::string& path) {
    if (isStandardStream(path)) {
        return kExitOk;
    }
    FileErrorDetail detail;
    const FileErrorCode result = checkReplaceable(path, detail.reason);
    return result == FileErrorCode::Ok ? kExitOk : fail(result, path, detail);
}

int CliFiles::refuseSameFile(const std::string& input, const std::string& output) {
    if (isStandardStream(input) || isStandardStream(output)) {
        return kExitOk;
    }
    std::error_code ec;
    if (input != output && !std::filesystem::equivalent(input, output, ec)) {
        return kExitOk;
    }
    m_prompt.print(cmcIcfFile::errorText(m_texts, FileErrorCode::FileOpen));
    std::fprintf(stderr, "%s: the output would replace the input file\n", output.c_str());
    return kExitFileError;
}

} // namespace qx::cli
