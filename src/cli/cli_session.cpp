#include "cli_session.h"

#include "text/ui_text_choice.h"

#include <cstdlib>

namespace qx::cli {

namespace {

int languageSetting(const CliOptions& options) {
    return options.language && *options.language == "ja" ? 1 : 0;
}

// The settings of this run: the saved ones as the options carry them, with the options' changes.
indEnviron& configured(indEnviron& settings, const CliOptions& options) {
    settings.language = languageSetting(options);
    settings.comPort = options.port.value_or(1);
    settings.comSpeedHigh = options.highSpeed.value_or(false) ? 1 : 0;
    settings.transType = options.connection.value_or(0);
    settings.destination = options.destination.value_or(indEnviron::kDestinationNotSet);
    settings.setupDone = settings.destination < indEnviron::kDestinationNotSet;
    settings.fccInhibit = options.features.fccInhibit;
    settings.rxExpansion = options.features.rxExpansion;
    settings.digitalUnit = options.features.digitalUnit;
    settings.dvInhibit = options.features.dvInhibit;
    settings.pagerInhibit = options.features.pagerInhibit;
    settings.currentDirectory = options.currentDirectory;
    return settings;
}

} // namespace

MainControllerPorts CliSession::ports(CliSession& s) {
    MainControllerPorts p{s.m_loop, s.m_loop, s.m_prompt, s.m_dialog, s.m_system, s.m_metrics};
    p.store = &s.m_store;
    p.catalogue = s.m_catalogue.get();
    return p;
}

std::unique_ptr<SerialPortCatalogue> CliSession::deviceCatalogue() {
    const char* root = std::getenv("QX5130_DEVICE_ROOT");
    if (root != nullptr && *root != '\0') {
        return std::make_unique<LinuxSerialPortCatalogue>(root);
    }
    return createSystemSerialPortCatalogue();
}

CliSession::CliSession(const CliOptions& options, bool yes)
    : m_system(languageSetting(options) == 1),
      m_prompt(chooseUiText(languageSetting(options)).codePage, yes),
      m_settings(indEnviron::Detached{}, m_system), m_bus(m_loop),
      m_controller(configured(m_settings, options), m_texts, m_bus, ports(*this)) {}

} // namespace qx::cli
