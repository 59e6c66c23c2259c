#include "editor_globals.h"

#include "text/ui_text_choice.h"

#include <QGuiApplication>

#include <utility>

namespace qx {

EditorGlobals::EditorGlobals(std::vector<std::string> arguments,
                             QtSystemInfo::WorkAreaSource workArea)
    : systemInfo(std::move(workArea)),
      env(indEnviron::kMutexName, indEnviron::kRegistryRoot, indEnviron::kRegistryRoot,
          settingsStore, instanceLock, systemInfo, std::move(arguments)),
      bus(scheduler), codec(chooseUiText(env.language).codePage), prompt(codec), fileDialog(codec),
      metrics(codec, QGuiApplication::palette()), columnWidths(settingsStore) {
    if (!env.firstInstance()) {
        return;
    }
    helpText.attachSource(kTextTable_help);
    MainControllerPorts ports{scheduler, scheduler, prompt, fileDialog, systemInfo, metrics};
    ports.store = &settingsStore;
    ports.columnWidths = &columnWidths;
    // It attaches the interface table of the language.
    controller = std::make_unique<MainController>(env, uiText, bus, std::move(ports));
}

} // namespace qx
