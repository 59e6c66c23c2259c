#include "clonefile/icf_file.h"

#include "base/fatal_defect.h"
#include "base/hex_digits.h"
#include "base/user_prompt.h"
#include "clonefile/file_replacement.h"
#include "radio/image_map.h"
#include "text/text_table.h"

#include <algorithm>
#include <memory>

#include <cerrno>
#include <cstdio>

namespace qx {

const char* fileErrorKey(FileErrorCode code) {
    switch (code) {
    case FileErrorCode::Ok:
        return nullptr;
    case FileErrorCode::FileOpen:
        return "GI_Mess_FileErr_FileOpen";
    case FileErrorCode::FileAccess:
        return "GI_Mess_FileErr_FileAccess";
    case FileErrorCode::Model:
        return "GI_Mess_FileErr_Model";
    case FileErrorCode::Extra:
        return "GI_Mess_FileErr_Extra";
    case FileErrorCode::MapRev:
        return "GI_Mess_FileErr_MapRev";
    case FileErrorCode::Format:
        return "GI_Mess_FileErr_Format";
    case FileErrorCode::Coverage:
        return "GI_Mess_FileErr_Coverage";
    case FileErrorCode::Data:
        return "GI_Mess_FileErr_Data";
    case FileErrorCode::Newer:
        return "GI_Mess_FileErr_Newer";
    }
    return nullptr;
}

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

} // namespace

// Reads a clone file in the pieces the reader judges: a line, or at most kPiece characters of
// a longer one, whose rest comes as the next piece. No valid header or record comes near that
// length, so a reader that meets one stops there instead of reading an endless line.
class IcfLineReader {
public:
    static constexpr std::size_t kPiece = 767;

    explicit IcfLineReader(std::FILE* file) : m_file(file), m_data(m_storage) {}
    explicit IcfLineReader(std::string_view text) : m_data(text.data()), m_len(text.size()) {}

    // The next piece without its line break (LF or CR LF). False at the end of the input or on
    // a read error (see failed()).
    bool next(std::string& line) {
        line.clear();
        bool any = false;
        while (line.size() < kPiece) {
            if (m_pos == m_len && !fill()) {
                break;
            }
            any = true;
            const char c = m_data[m_pos++];
            if (c == '\n') {
                if (!line.empty() && line.back() == '\r') {
                    line.pop_back();
                }
                break;
            }
            line.push_back(c);
        }
        if (any) {
            ++m_pieces;
        }
        return any;
    }

    bool failed() const { return m_failed; }
    int error() const { return m_error; }
    int pieces() const { return m_pieces; }

private:
    bool fill() {
        if (m_file == nullptr) {
            return false;
        }
        m_len = std::fread(m_storage, 1, sizeof m_storage, m_file);
        m_pos = 0;
        if (m_len == 0 && std::ferror(m_file)) {
            m_failed = true;
            m_error = errno;
        }
        return m_len > 0;
    }

    std::FILE* m_file = nullptr;
    char m_storage[65536];
    const char* m_data;
    std::size_t m_pos = 0;
    std::size_t m_len = 0;
    bool m_failed = false;
    int m_error = 0;
    int m_pieces = 0;
};

cmcIcfFile::cmcIcfFile(cmcEeprom& target) : m_target(target) {}

std::string cmcIcfFile::commentFromImage(const cmcEeprom& image) {
    std::string text;
    for (std::int32_t a = imagemap::kCloneComment;
         a < imagemap::kCloneComment + imagemap::kCloneCommentSize; ++a) {
        const std::uint8_t b = image.getByte(a);
        text.push_back(b >= 32 && b <= 126 ? static_cast<char>(b) : ' ');
    }
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') {
        text.pop_back();
    }
    return text;
}

FileErrorCode cmcIcfFile::write(const std::string& path, const ImageRangeList& ranges) {
    m_detail = {};
    m_path = path;
    const FileErrorCode result = replaceFileContents(path, text(ranges), m_detail.reason, &m_stamp);
    reportError(result);
    return result;
}

std::string cmcIcfFile::text(const ImageRangeList& ranges) const {
    std::string text;
    text.reserve(static_cast<std::size_t>(m_target.size()) * 2 + 4096);
    appendHex(text, m_modelCode & 0xFFFF, 4);
    appendHex(text, m_modelSubCode & 0xFFFF, 4);
    text += "\r\n#";
    text += m_comment;
    text += "\r\n";
    const std::uint8_t* data = m_target.data();
    for (const ImageRange& range : ranges.ranges(m_target.size())) {
        if (range.end > kMaxAddress) {
            fatalDefect("Clone file range beyond the four-digit address.");
        }
        for (std::int32_t address = range.start; address <= range.end;) {
            const std::int32_t last =
                std::min(range.end, (address / kBytesPerLine + 1) * kBytesPerLine - 1);
            appendHex(text, static_cast<unsigned>(address), 4);
            appendHex(text, static_cast<unsigned>(last - address + 1), 2);
            for (; address <= last; ++address) {
                appendHex(text, data[address], 2);
            }
            text += "\r\n";
        }
    }
    return text;
}

FileErrorCode cmcIcfFile::read(const std::string& path, const ImageRangeList* coverage) {
    m_detail = {};
    m_path = path;
    FilePtr file(openRegularFile(path, m_detail.reason));
    if (!file) {
        m_stamp = {};
        reportError(FileErrorCode::FileOpen);
        return FileErrorCode::FileOpen;
    }
    // Taken before reading: a change while the file is read counts as a change since.
    m_stamp = fileStamp(file.get());
    IcfLineReader reader(file.get());
    return readFrom(reader, coverage);
}

FileErrorCode cmcIcfFile::readText(std::string_view text, const ImageRangeList* coverage) {
    m_detail = {};
    m_path.clear();
    IcfLineReader reader(text);
    return readFrom(reader, coverage);
}

FileErrorCode cmcIcfFile::readFrom(IcfLineReader& reader, const ImageRangeList* coverage) {
    const cmcEeprom backup(m_target);
    m_received.assign((static_cast<std::size_t>(m_target.size()) + 7) / 8, 0);
    std::string line;
    FileErrorCode result = FileErrorCode::Format;
    if (reader.next(line)) {
        result = readHeader(line);
    }
    while (result == FileErrorCode::Ok && reader.next(line)) {
        if (!line.empty() && line[0] == '#') {
            continue;
        }
        result = readRecord(line);
    }
    if (reader.failed()) {
        result = FileErrorCode::FileAccess;
        m_detail.reason = std::error_code(reader.error(), std::generic_category());
    } else if (result != FileErrorCode::Ok) {
        m_detail.line = std::max(reader.pieces(), 1);
    }
    if (result == FileErrorCode::Ok && coverage != nullptr) {
        result = checkCoverage(*coverage);
    }
    if (result != FileErrorCode::Ok) {
        m_target = backup;
    }
    reportError(result);
    return result;
}

FileErrorCode cmcIcfFile::readHeader(const std::string& line) {
    if (line.size() != 8) {
        return FileErrorCode::Format;
    }
    std::uint32_t words[2] = {0, 0};
    for (std::size_t i = 0; i < 8; ++i) {
        if (line[i] < '0' || line[i] > '9') {
            return FileErrorCode::Format;
        }
        words[i / 4] = words[i / 4] * 16 + static_cast<std::uint32_t>(line[i] - '0');
    }
    if (words[0] != m_modelCode) {
        return FileErrorCode::Model;
    }
    if (words[1] != m_modelSubCode) {
        return FileErrorCode::Extra;
    }
    return FileErrorCode::Ok;
}

FileErrorCode cmcIcfFile::readRecord(const std::string& line) {
    if (line.size() < 8 || line.size() > kMaxRecordChars) {
        return FileErrorCode::Format;
    }
    for (const char c : line) {
        if (hexValue(c) < 0) {
            return FileErrorCode::Format;
        }
    }
    auto hexAt = [&](std::size_t pos, int digits) {
        std::int32_t v = 0;
        for (int i = 0; i < digits; ++i) {
            v = v * 16 + hexValue(line[pos + static_cast<std::size_t>(i)]);
        }
        return v;
    };
    const std::int32_t address = hexAt(0, 4);
    const std::int32_t count = hexAt(4, 2);
    if (static_cast<std::size_t>(count) * 2 != line.size() - 6) {
        return FileErrorCode::Format;
    }
    if (!m_target.isValidAddress(address) || !m_target.isValidAddress(address + count - 1)) {
        return FileErrorCode::Data;
    }
    std::uint8_t* data = m_target.data();
    for (std::int32_t i = 0; i < count; ++i) {
        data[address + i] =
            static_cast<std::uint8_t>(hexAt(6 + static_cast<std::size_t>(i) * 2, 2));
        setReceived(address + i);
    }
    return FileErrorCode::Ok;
}

FileErrorCode cmcIcfFile::checkCoverage(const ImageRangeList& ranges) {
    const std::size_t bytes = (static_cast<std::size_t>(m_target.size()) + 7) / 8;
    m_received.resize(bytes, 0);
    m_expected.assign(bytes, 0);
    for (const ImageRange& range : ranges.ranges(m_target.size())) {
        for (std::int32_t a = range.start; a <= range.end; ++a) {
            m_expected[static_cast<std::size_t>(a) / 8] |= static_cast<std::uint8_t>(1u << (a % 8));
        }
    }
    if (m_received == m_expected) {
        return FileErrorCode::Ok;
    }
    for (std::size_t i = 0; i < bytes; ++i) {
        if ((m_received[i] & ~m_expected[i]) != 0) {
            return FileErrorCode::Data;
        }
    }
    return FileErrorCode::Coverage;
}

std::string cmcIcfFile::errorText(cmcGTex& texts, FileErrorCode code) {
    const char* key = fileErrorKey(code);
    if (key == nullptr) {
        return {};
    }
    return texts.blockText("GI_Mess_FileErr_Headline") + "\n\n" + texts.blockText(key);
}

void cmcIcfFile::reportError(FileErrorCode code) {
    if (code == FileErrorCode::Ok || m_prompt == nullptr || m_texts == nullptr) {
        return;
    }
    std::string text = errorText(*m_texts, code);
    // Which file, where in it and why; the command line prints that on a line of its own.
    if (!m_path.empty() && m_nameToText) {
        std::string where = m_nameToText(m_path);
        if (m_detail.line > 0) {
            where = replacePlaceholders(m_texts->firstLine("GI_Mess_FileErr_Where"),
                                        {where, std::to_string(m_detail.line)});
        }
        text += "\n\n" + where;
        if (m_detail.reason) {
            text += ": " + m_detail.reason.message();
        }
    }
    m_prompt->ask(text, m_texts->firstLine("GI_Sys_AppTitle"), PromptIcon::Warning,
                  PromptButtons::Ok);
}

} // namespace qx
