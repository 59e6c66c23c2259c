#pragma once

#include "clonefile/file_error.h"
#include "clonefile/file_replacement.h"
#include "radio/eeprom.h"
#include "radio/image_range_list.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class UserPrompt;
class cmcGTex;
class IcfLineReader;

// Reader and writer of ".icf" clone files: a header with the model identification, a comment
// line and hexadecimal records of image bytes, one per line.
class cmcIcfFile {
public:
    static constexpr int kBytesPerLine = 16;
    // A record line holds at most this many characters without its line break.
    static constexpr std::size_t kMaxRecordChars = 516;
    // Records carry four hexadecimal address digits.
    static constexpr std::int32_t kMaxAddress = 0xFFFF;

    explicit cmcIcfFile(cmcEeprom& target);

    void setModel(std::uint32_t code, std::uint32_t subCode) {
        m_modelCode = code;
        m_modelSubCode = subCode;
    }
    void setComment(std::string comment) { m_comment = std::move(comment); }
    const std::string& comment() const { return m_comment; }

    // Where reportError shows its box. Without a prompt nothing is shown. With nameToText (file
    // names are in the system's encoding) the box also names the file, the line and the reason.
    void setReporter(UserPrompt* prompt, cmcGTex* texts,
                     std::function<std::string(const std::string&)> nameToText = {}) {
        m_prompt = prompt;
        m_texts = texts;
        m_nameToText = std::move(nameToText);
    }

    // Writes the ranges of the target image; ranges past kMaxAddress are a defect of the caller.
    // The file appears under its name only once every byte is written and flushed, so a failure
    // never damages a file that was there before.
    FileErrorCode write(const std::string& path, const ImageRangeList& ranges);
    // The text write puts into the file.
    std::string text(const ImageRangeList& ranges) const;

    // Reads records into the target image. On any failure the image is restored as it was.
    // With no coverage list, coverage is left to the caller (checkCoverage).
    // Only a regular file is read: a folder, a device or a pipe is refused with FileOpen.
    FileErrorCode read(const std::string& path, const ImageRangeList* coverage);
    // The same for the contents of a file already in memory.
    FileErrorCode readText(std::string_view text, const ImageRangeList* coverage);

    // What the last read or write knows about its failure beyond the code.
    const FileErrorDetail& lastDetail() const { return m_detail; }
    // The file the last read of a path read, or the last write put in place, as it was then.
    const FileStamp& stamp() const { return m_stamp; }

    // Compares the addresses the last read wrote with the addresses of the list: Ok, Coverage
    // (addresses missing) or Data (addresses written that the list does not hold).
    FileErrorCode checkCoverage(const ImageRangeList& ranges);

    // Shows the "File error." box for every code but Ok.
    void reportError(FileErrorCode code);
    // The text of that box; empty for Ok.
    static std::string errorText(cmcGTex& texts, FileErrorCode code);

    // The comment line's text: the 16 comment bytes, anything not printable as a space, and
    // trailing blanks removed.
    static std::string commentFromImage(const cmcEeprom& image);

private:
    FileErrorCode readFrom(IcfLineReader& reader, const ImageRangeList* coverage);
    FileErrorCode readHeader(const std::string& line);
    FileErrorCode readRecord(const std::string& line);
    void setReceived(std::int32_t address) {
        m_received[static_cast<std::size_t>(address) / 8] |=
            static_cast<std::uint8_t>(1u << (address % 8));
    }

    cmcEeprom& m_target;
    std::uint32_t m_modelCode = 0;
    std::uint32_t m_modelSubCode = 0;
    std::string m_comment;
    FileErrorDetail m_detail;
    FileStamp m_stamp;
    std::vector<std::uint8_t> m_received;
    std::vector<std::uint8_t> m_expected;
    UserPrompt* m_prompt = nullptr;
    std::function<std::string(const std::string&)> m_nameToText;
    std::string m_path; // of the last read or write; empty for text
    cmcGTex* m_texts = nullptr;
};

} // namespace qx
