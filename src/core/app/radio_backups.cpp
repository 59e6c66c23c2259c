#include "app/radio_backups.h"

#include "clonefile/file_replacement.h"
#include "clonefile/icf_file.h"
#include "radio/image_map.h"
#include "radio/image_range_list.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>

namespace qx {

namespace {

constexpr const char* kExtension = ".icf";
constexpr int kMaxCount = 1000;

std::tm localTime(std::time_t when) {
    std::tm parts{};
    localtime_r(&when, &parts);
    return parts;
}

std::string formatted(std::time_t when, const char* format) {
    const std::tm parts = localTime(when);
    std::array<char, 32> text{};
    const std::size_t n = std::strftime(text.data(), text.size(), format, &parts);
    return std::string(text.data(), n);
}

// The time the name carries: "YYYY-MM-DD HH.MM.SS" at its start; -1 when it has none.
std::time_t timeOfName(const std::string& name) {
    std::tm parts{};
    int consumed = 0;
    if (name.size() < 19 ||
        std::sscanf(name.c_str(), "%4d-%2d-%2d %2d.%2d.%2d%n", &parts.tm_year, &parts.tm_mon,
                    &parts.tm_mday, &parts.tm_hour, &parts.tm_min, &parts.tm_sec, &consumed) != 6 ||
        consumed != 19) {
        return -1;
    }
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    parts.tm_isdst = -1;
    return std::mktime(&parts);
}

} // namespace

std::string RadioBackups::safeName(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        const bool refused =
            u < 32 || u == 127 || std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos;
        out += refused ? '_' : c;
    }
    // A name never starts with a dot (hidden) nor ends in a blank or dot (refused elsewhere).
    while (!out.empty() && (out.back() == ' ' || out.back() == '.')) {
        out.pop_back();
    }
    while (!out.empty() && (out.front() == ' ' || out.front() == '.')) {
        out.erase(out.begin());
    }
    return out;
}

std::string RadioBackups::fileName(std::time_t when, const std::string& destination,
                                   const std::string& comment, int count) {
    std::string name = formatted(when, "%Y-%m-%d %H.%M.%S");
    const std::string place = safeName(destination);
    const std::string words = safeName(comment);
    if (!place.empty()) {
        name += " " + place;
    }
    if (!words.empty()) {
        name += " " + words;
    }
    if (count > 1) {
        name += " (" + std::to_string(count) + ")";
    }
    return name + kExtension;
}

RadioBackups::Stored RadioBackups::store(const cmcEeprom& image, const std::string& destination,
                                         std::time_t when) const {
    Stored result;
    if (m_folder.empty()) {
        result.code = FileErrorCode::FileOpen;
        result.reason = std::make_error_code(std::errc::no_such_file_or_directory);
        return result;
    }
    cmcEeprom copy(image);
    cmcIcfFile file(copy);
    file.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
    const std::string comment = cmcIcfFile::commentFromImage(copy);
    file.setComment(comment);
    const std::string text = file.text(ImageRangeList::transceiverPart());
    for (int count = 1; count <= kMaxCount; ++count) {
        result.path =
            (std::filesystem::path(m_folder) / fileName(when, destination, comment, count))
                .string();
        result.code = createNewFile(result.path, text, result.reason);
        if (result.code != FileErrorCode::FileOpen || result.reason != std::errc::file_exists) {
            break;
        }
    }
    if (result.code != FileErrorCode::Ok) {
        result.path.clear();
    }
    return result;
}

std::vector<RadioBackup> RadioBackups::list() const {
    std::vector<RadioBackup> found;
    std::error_code ec;
    if (m_folder.empty()) {
        return found;
    }
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, ec)) {
        std::error_code entryError;
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file(entryError) || entry.path().extension() != kExtension ||
            name.front() == '.') {
            continue;
        }
        cmcEeprom scratch(imagemap::kImageSize);
        cmcIcfFile file(scratch);
        file.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
        if (file.read(entry.path().string(), nullptr) != FileErrorCode::Ok) {
            continue;
        }
        RadioBackup backup;
        backup.path = entry.path().string();
        backup.size = entry.file_size(entryError);
        backup.writtenNs = fileStamp(backup.path).modifiedNs;
        backup.comment = cmcIcfFile::commentFromImage(scratch);
        std::time_t when = timeOfName(name);
        if (when >= 0) {
            // The destination is the word after the time, when there is one.
            const std::string rest = name.substr(19);
            if (rest.size() > 1 && rest.front() == ' ') {
                const std::size_t end = rest.find_first_of(" .", 1);
                backup.destination = rest.substr(1, end == std::string::npos ? end : end - 1);
            }
        } else {
            when = static_cast<std::time_t>(backup.writtenNs / 1000000000);
        }
        backup.sortKey = static_cast<std::int64_t>(when);
        backup.date = formatted(when, "%Y-%m-%d %H:%M:%S");
        found.push_back(std::move(backup));
    }
    std::sort(found.begin(), found.end(), [](const RadioBackup& a, const RadioBackup& b) {
        if (a.sortKey != b.sortKey) {
            return a.sortKey > b.sortKey;
        }
        return a.writtenNs != b.writtenNs ? a.writtenNs > b.writtenNs : a.path > b.path;
    });
    return found;
}

} // namespace qx
