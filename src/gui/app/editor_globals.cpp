#include "editor_globals.h"

#include "text/ui_text_choice.h"

#include <utility>

namespace qx {

EditorGlobals::EditorGlobals(std::vector<std::string> arguments,
                             QtSystemInfo::WorkAreaSource workArea)
    : systemInfo(std::move(workArea)),
      env(indEnviron::kMutexName, indEnviron::kRegistryRoot, indEnviron::kRegistryRoot,
          settingsStore, instanceLock, systemInfo, std::move(arguments)),
      bus(scheduler) {
    if (!env.firstInstance()) {
        return;
    }
    // The MainController attaches the tables when it is made; until it exists the start does.
    const UiTextChoice choice = chooseUiText(env.language);
    uiText.attachSource(*choice.source);
    helpText.attachSource(kTextTable_help);
    codec = CodePageText(choice.codePage);
}

} // namespace qx
