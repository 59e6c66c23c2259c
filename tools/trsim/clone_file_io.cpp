#include "clone_file_io.h"

#include "clonefile/icf_file.h"
#include "radio/image_map.h"
#include "radio/image_range_list.h"

namespace trsim {

bool loadImage(const std::string& path, qx::cmcEeprom& image) {
    qx::cmcIcfFile file(image);
    file.setModel(qx::imagemap::kModelCode, qx::imagemap::kModelSubCode);
    const qx::ImageRangeList range = qx::ImageRangeList::transceiverPart();
    return file.read(path, &range) == qx::FileErrorCode::Ok;
}

bool saveImage(const std::string& path, const qx::cmcEeprom& image) {
    qx::cmcEeprom copy(image);
    qx::cmcIcfFile file(copy);
    file.setModel(qx::imagemap::kModelCode, qx::imagemap::kModelSubCode);
    file.setComment(qx::cmcIcfFile::commentFromImage(copy));
    return file.write(path, qx::ImageRangeList::transceiverPart()) == qx::FileErrorCode::Ok;
}

} // namespace trsim
