// A call string as a user types it on the command line: any kind, variant and rows for a sheet
// the table defines. The sheet is built on a default image and drawn as text; odd arguments
// must show nothing that does not exist and never overflow a row number.
#include "fuzz_sheet_world.h"
#include "output/print_all_list.h"
#include "radio/image_set.h"

#include <string>
#include <vector>

namespace {

// Whether a tree node opens this sheet with this kind.
bool treeOpens(const qx::CallString& wanted) {
    static qx::GTexLines lines(qx::fuzz::builtInTable());
    static const std::vector<std::string> tree = qx::treeCallStrings(lines, {true, false, false});
    for (const std::string& call : tree) {
        const qx::CallString node = qx::decodeCallString(call);
        if (node.kind == wanted.kind && node.sheetKey == wanted.sheetKey) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qx;
    const std::string callString(reinterpret_cast<const char*>(data), size < 200 ? size : 200);
    const CallString decoded = decodeCallString(callString);
    // The sheets and kinds of the tree, with any arguments: the arguments choose rows and
    // variants.
    if (!treeOpens(decoded)) {
        return 0;
    }
    fuzz::installDefectTrap(false);
    static ImageSet images = [] {
        ImageSet set;
        set.setDestination(0);
        return set;
    }();
    FeatureFlags flags;
    flags.digitalUnit = true;
    fuzz::SheetWorld world(images.current(), images.destination(), flags);
    world.drawAsText(callString);
    return 0;
}
