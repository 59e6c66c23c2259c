// Any bytes as a clone file. The reader must answer with a code and leave the image exactly as
// it was whenever it refuses the file; an accepted file must survive a write and a read back,
// and with the transceiver part as coverage list (as Open reads) fill nothing beyond it.
#include "clonefile/icf_file.h"
#include "fuzz_support.h"
#include "radio/image_map.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

const std::string& scratchPath() {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("qx5130_fuzz_icf_" + std::to_string(::getpid()) + ".icf"))
                                        .string();
    return path;
}

bool writeScratch(const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(scratchPath().c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool written = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && written;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qx;
    fuzz::installDefectTrap(false);
    if (!writeScratch(data, size)) {
        return 0;
    }
    // What the image held before: every byte distinct from what a file is likely to bring.
    cmcEeprom image(imagemap::kImageSize);
    for (std::int32_t a = 0; a < image.size(); ++a) {
        image.setByte(a, static_cast<std::uint8_t>(a * 31 + 7));
    }
    const cmcEeprom before(image);

    // A read without a coverage list: whatever it accepts must survive a write of everything
    // a four-digit record address reaches and a read back.
    cmcIcfFile file(image);
    file.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
    const FileErrorCode result = file.read(scratchPath(), nullptr);
    FUZZ_CHECK(static_cast<int>(result) >= 0 && static_cast<int>(result) <= 9);
    // The same bytes through a pipe (read into memory) give the same answer.
    cmcEeprom piped(before);
    cmcIcfFile pipeReader(piped);
    pipeReader.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
    FUZZ_CHECK(pipeReader.readText(std::string_view(reinterpret_cast<const char*>(data), size),
                                   nullptr) == result);
    FUZZ_CHECK(piped == image);
    if (result != FileErrorCode::Ok) {
        FUZZ_CHECK(image == before);
        return 0;
    }
    const std::string copy = scratchPath() + ".copy";
    const ImageRangeList reachable{{0, cmcIcfFile::kMaxAddress}};
    FUZZ_CHECK(file.write(copy, reachable) == FileErrorCode::Ok);
    cmcEeprom again(imagemap::kImageSize);
    cmcIcfFile reader(again);
    reader.setModel(imagemap::kModelCode, imagemap::kModelSubCode);
    FUZZ_CHECK(reader.read(copy, &reachable) == FileErrorCode::Ok);
    FUZZ_CHECK(std::memcmp(again.data(), image.data(),
                           static_cast<std::size_t>(cmcIcfFile::kMaxAddress) + 1) == 0);
    std::remove(copy.c_str());

    // As Open reads it: with the transceiver part as the coverage list, which a refusal leaves
    // as it was and an acceptance fills only there.
    image = before;
    const ImageRangeList coverage = ImageRangeList::transceiverPart();
    const FileErrorCode covered = file.read(scratchPath(), &coverage);
    if (covered != FileErrorCode::Ok) {
        FUZZ_CHECK(covered == FileErrorCode::Coverage || covered == FileErrorCode::Data);
        FUZZ_CHECK(image == before);
        return 0;
    }
    FUZZ_CHECK(std::memcmp(image.data() + imagemap::kTransceiverSize,
                           before.data() + imagemap::kTransceiverSize,
                           static_cast<std::size_t>(image.size() - imagemap::kTransceiverSize)) ==
               0);
    FUZZ_CHECK(std::memcmp(image.data(), again.data(),
                           static_cast<std::size_t>(imagemap::kTransceiverSize)) == 0);
    return 0;
}
