#include "app/initial_setup.h"

#include "app/environ.h"
#include "app/views.h"
#include "base/user_prompt.h"
#include "text/text_table.h"

#include <charconv>
#include <filesystem>

namespace qx {

indInitialSetup::indInitialSetup(indEnviron& settings, cmcGTex& texts, UserPrompt& prompt,
                                 cmcEvMan& bus, Views* views, Hooks hooks)
    : m_settings(settings), m_texts(texts), m_prompt(prompt), m_bus(bus), m_views(views),
      m_hooks(std::move(hooks)) {
    m_bus.subscribe(this);
}

indInitialSetup::~indInitialSetup() {
    m_bus.unsubscribe(this);
}

int indInitialSetup::parsePort(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return 0;
    }
    const std::size_t last = text.find_last_not_of(" \t");
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    int value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    return ec == std::errc() && ptr == end ? value : 0;
}

std::string indInitialSetup::trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool indInitialSetup::isDevicePath(const std::string& text) {
    const std::string t = trimmed(text);
    return t.find('/') != std::string::npos || t.find('\\') != std::string::npos;
}

indInitialSetup::PortChoice indInitialSetup::initialChoice() const {
    PortChoice choice;
    const int port = m_settings.comPort;
    if (m_hooks.currentDevice) {
        choice.device = m_hooks.currentDevice();
        if (!choice.device.empty()) {
            choice.radio = kDevice;
            return choice;
        }
    }
    if (port >= 1 && port <= 4) {
        choice.radio = port;
    } else if (port >= 5 && port <= 256) {
        choice.radio = kMore;
        choice.edit = std::to_string(port);
    }
    return choice;
}

std::string indInitialSetup::caption() {
    return m_texts.firstLine("GI_App_InitialSetup_Form_Caption");
}

std::string indInitialSetup::cancelCaption() {
    return m_texts.line("GI_AppInd_Opt_ComSel_Buttons", 1);
}

std::vector<std::string> indInitialSetup::memoLines() {
    std::vector<std::string> lines;
    for (int n = 0;; ++n) {
        std::string line = m_texts.line("GI_App_InitialSetup_Memo_Caption", n);
        if (!line.empty() && line[0] == '#') {
            break;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

bool indInitialSetup::ok(const PortChoice& choice) {
    int port = choice.radio >= 1 && choice.radio <= 4 ? choice.radio : parsePort(choice.edit);
    if (choice.radio == kDevice || (choice.radio == kMore && isDevicePath(choice.edit))) {
        const std::string path = choice.radio == kDevice ? choice.device : trimmed(choice.edit);
        std::error_code ec;
        if (!std::filesystem::exists(path, ec)) {
            m_prompt.ask(m_texts.line("GI_AppInd_Opt_ComSel_Ports", 3) + "\n" + path,
                         m_texts.firstLine("GI_Sys_AppTitle"), PromptIcon::Error,
                         PromptButtons::Ok);
            return false;
        }
        port = m_hooks.assignDevice ? m_hooks.assignDevice(path) : 0;
    }
    if (port < 1 || port > 256) {
        m_prompt.ask(m_texts.blockText("GI_AppInd_Opt_ComSel_OutofRange"),
                     m_texts.firstLine("GI_Sys_AppTitle"), PromptIcon::Error, PromptButtons::Ok);
        return false;
    }
    m_settings.comPort = port;
    m_bus.send(MessageId::ReadCloneInformation);
    return true;
}

void indInitialSetup::cancel() {
    if (m_hooks.recomputeLimits) {
        m_hooks.recomputeLimits();
    }
    close();
}

void indInitialSetup::close() {
    if (!m_open) {
        return;
    }
    m_open = false;
    m_bus.unsubscribe(this);
    if (m_views != nullptr) {
        m_views->closeInitialSetup();
    }
    m_bus.send(MessageId::InitialSetupClosed);
    m_bus.send(MessageId::RefreshToolBarStates);
}

void indInitialSetup::onMessage(const EvMessage& message, cmcEvMan& bus) {
    if (!m_open) {
        return;
    }
    switch (message.id) {
    case MessageId::CloneStarted:
        m_enabled = false;
        if (m_views != nullptr) {
            m_views->setInitialSetupEnabled(false);
        }
        break;
    case MessageId::CloneFinished:
        if (message.p1 == 0) {
            m_enabled = true;
            if (m_views != nullptr) {
                m_views->setInitialSetupEnabled(true);
            }
        }
        break;
    case MessageId::SetupInformationRead: {
        // A transceiver of no known destination cannot be served: the setup is not done and
        // runs again at the next start.
        const int destination =
            m_hooks.transceiverDestination ? m_hooks.transceiverDestination() : 16;
        if (destination >= 0 && destination < 16) {
            m_settings.setupDone = true;
            bus.send(MessageId::InitialSetupDone);
        } else {
            m_settings.setupDone = false;
        }
        close();
        break;
    }
    default:
        break;
    }
}

} // namespace qx
