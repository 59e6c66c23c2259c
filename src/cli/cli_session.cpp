#include "cli_session.h"

#include "text/ui_text_choice.h"

namespace qx::cli {

namespace {

int languageSetting(const CliOptions& options) {
    return options.language && *options.language == "ja" ? 1 : 0;
}

} // namespace

CliSession::CliSession(const CliOptions& options, bool yes)
    : m_prompt(chooseUiText(languageSetting(options)).codePage, yes),
      m_currentDirectory(options.currentDirectory),
      m_document(m_texts, m_prompt, m_dialog, nullptr, m_recent, m_currentDirectory,
                 languageSetting(options)) {
    m_texts.attachSource(*chooseUiText(languageSetting(options)).source);
    m_document.setFeatureFlags(options.features);
    m_document.images().setDestination(options.destination.value_or(kDestinationUnset));
}

} // namespace qx::cli
