#include "cli_settings.h"

#include "app/environ.h"
#include "qt_settings_store.h"
#include "qt_system_info.h"

namespace qx::cli {

void fillFromSettings(CliOptions& options, const char* programPath) {
    QtSettingsStore store;
    QtSystemInfo system;
    const indEnviron settings(indEnviron::ReadOnly{}, indEnviron::kRegistryRoot,
                              indEnviron::kRegistryRoot, store, system, {programPath});
    if (!options.port) {
        options.port = settings.comPort;
    }
    if (!options.highSpeed) {
        options.highSpeed = settings.comSpeedHigh != 0;
    }
    if (!options.connection) {
        options.connection = settings.transType;
    }
    if (!options.destination) {
        options.destination = settings.destination;
    }
    if (!options.language) {
        options.language = settings.language == 1 ? "ja" : "en";
    }
    options.features.rxExpansion = settings.rxExpansion;
    options.features.fccInhibit = settings.fccInhibit;
    options.features.digitalUnit = settings.digitalUnit;
    options.features.dvInhibit = settings.dvInhibit;
    options.features.pagerInhibit = settings.pagerInhibit;
    options.currentDirectory = settings.currentDirectory;
}

} // namespace qx::cli
