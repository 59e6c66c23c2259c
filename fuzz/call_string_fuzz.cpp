// A call string as a user types it on the command line: any kind, variant and rows for a sheet
// the table defines. The sheet is built on a default image and drawn as text; odd arguments
// must show nothing that does not exist and never overflow a row number.
#include "fuzz_support.h"
#include "headless_editor.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_script.h"

#include <string>
#include <vector>

namespace {

// The editor of destination 0 with every optional unit, as the fullest tree shows it.
qx::MainController& editor() {
    static qx::test::HeadlessEditor headless({}, false);
    return *headless.controller;
}

// Whether a tree node opens this sheet with this kind.
bool treeOpens(const qx::CallString& wanted) {
    static const std::vector<std::string> tree = [] {
        qx::FeatureFlags fullest;
        fullest.digitalUnit = true;
        return editor().treeCallStrings(fullest);
    }();
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
    MainController& controller = editor();
    cmcSheetScript script(controller.openSheet(callString), controller.dispatch(),
                          controller.valueTables());
    script.lines();
    return 0;
}
