#include "cli_call_string.h"

#include "app/main_controller.h"
#include "cli_command.h"
#include "sheet/sheet_catalogue.h"
#include "text/ui_text_choice.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace qx::cli {

namespace {

bool sheetDefined(const TextSource& source, const std::string& sheetKey) {
    const std::string header = "#" + sheetKey + "_Cells";
    for (std::size_t i = 0; i < source.count; ++i) {
        if (header == source.lines[i]) {
            return true;
        }
    }
    return false;
}

} // namespace

int checkCallString(MainController& controller, const std::string& callString) {
    const TextSource& source = *chooseUiText(controller.shiftJis() ? 1 : 0).source;
    const CallString decoded = decodeCallString(callString);
    if (decoded.sheetKey.empty() || !sheetDefined(source, decoded.sheetKey)) {
        std::fprintf(stderr, "Unknown sheet: %s\n", callString.c_str());
        return kExitRefused;
    }
    // Every node of the fullest tree: the variant only hides sheets, it never adds rows.
    FeatureFlags fullest;
    fullest.digitalUnit = true;
    const std::vector<std::string> tree = controller.treeCallStrings(fullest);
    if (std::find(tree.begin(), tree.end(), callString) != tree.end()) {
        return kExitOk;
    }
    std::vector<std::string> allowed;
    for (const std::string& call : tree) {
        if (decodeCallString(call).sheetKey == decoded.sheetKey) {
            allowed.push_back(call);
        }
    }
    if (allowed.empty()) {
        if (callString == decoded.sheetKey) {
            return kExitOk;
        }
        allowed.push_back(decoded.sheetKey);
    }
    std::string names = allowed.front();
    if (allowed.size() > 4) {
        names +=
            " ... " + allowed.back() + " (" + std::to_string(allowed.size()) + " call strings)";
    } else {
        for (std::size_t i = 1; i < allowed.size(); ++i) {
            names += (i + 1 == allowed.size() ? " or " : ", ") + allowed[i];
        }
    }
    std::fprintf(stderr, "The sheet %s has no rows or variant \"%s\"; it opens as %s\n",
                 decoded.sheetKey.c_str(), callString.c_str(), names.c_str());
    return kExitRefused;
}

} // namespace qx::cli
