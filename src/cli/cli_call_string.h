#pragma once

#include <string>

namespace qx {
class MainController;
}

namespace qx::cli {

// Whether CALLSTRING opens a sheet a user can reach: one of the navigation tree's call strings,
// or the bare key of a sheet that the tree does not name. Anything else (an unknown sheet or
// kind, rows or variants the sheet does not have) is refused with a message that names the
// call strings the sheet takes. kExitOk or kExitRefused.
int checkCallString(MainController& controller, const std::string& callString);

} // namespace qx::cli
