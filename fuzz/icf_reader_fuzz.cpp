// Any bytes as a clone file. The reader must answer with a code, leave the image exactly as it
// was whenever it refuses the file, and an accepted file must survive a write and a read back.
#include "clonefile/icf_file.h"
#include "radio/image_map.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string scratchPath(const char* name) {
    return (std::filesystem::temp_directory_path() /
            ("qx5130-fuzz-" + std::to_string(getpid()) + "-" + name))
        .string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qx;
    static const std::string input = scratchPath("in.icf");
    static const std::string output = scratchPath("out.icf");
    if (std::FILE* f = std::fopen(input.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        std::abort();
    }

    cmcEeprom image(imagemap::kImageSize);
    for (std::int32_t a = 0; a < image.size(); ++a) {
        image.setByte(a, static_cast<std::uint8_t>(a * 13));
    }
    const cmcEeprom before(image);
    cmcIcfFile file(image);
    file.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
    if (file.read(input, nullptr) != FileErrorCode::Ok) {
        if (!(image == before)) {
            std::abort();
        }
        return 0;
    }
    // Everything a four-digit record address reaches.
    constexpr std::int32_t kLast = 0xFFFF;
    const ImageRangeList reachable{{0, kLast}};
    if (file.write(output, reachable) != FileErrorCode::Ok) {
        std::abort();
    }
    cmcEeprom again(imagemap::kImageSize);
    cmcIcfFile reader(again);
    reader.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
    if (reader.read(output, &reachable) != FileErrorCode::Ok ||
        std::memcmp(again.data(), image.data(), kLast + 1) != 0) {
        std::abort();
    }
    return 0;
}
