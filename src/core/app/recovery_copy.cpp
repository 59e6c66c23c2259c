#include "app/recovery_copy.h"

#include "clonefile/file_replacement.h"
#include "clonefile/icf_file.h"
#include "radio/image_map.h"
#include "radio/image_range_list.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace qx {

std::string RecoveryCopy::imagePath() const {
    return (std::filesystem::path(m_folder) / "document.icf").string();
}

std::string RecoveryCopy::pathFile() const {
    return (std::filesystem::path(m_folder) / "document.path").string();
}

bool RecoveryCopy::write(const cmcEeprom& image, const std::string& documentPath) {
    if (!available()) {
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(m_folder, ec);
    cmcEeprom copy(image);
    cmcIcfFile file(copy);
    file.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
    file.setComment(cmcIcfFile::commentFromImage(copy));
    // The path first: an image never stands beside the path of another document.
    return replaceFileContents(pathFile(), documentPath) == FileErrorCode::Ok &&
           replaceFileContents(imagePath(), file.text(ImageRangeList::transceiverPart())) ==
               FileErrorCode::Ok;
}

std::optional<std::string> RecoveryCopy::find() const {
    std::error_code ec;
    if (!available() || !std::filesystem::is_regular_file(imagePath(), ec)) {
        return std::nullopt;
    }
    std::ifstream in(pathFile(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void RecoveryCopy::remove() {
    if (!available()) {
        return;
    }
    std::error_code ec;
    std::filesystem::remove(imagePath(), ec);
    std::filesystem::remove(pathFile(), ec);
}

} // namespace qx
