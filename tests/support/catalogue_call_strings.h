#pragma once

#include "sheet/sheet_catalogue.h"

namespace qx::test {

using qx::catalogueCallStrings;

} // namespace qx::test
