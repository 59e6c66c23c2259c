#pragma once

#include "app/environ.h"
#include "app/main_controller.h"
#include "base/event_manager.h"
#include "base/text_metrics.h"
#include "code_page_text.h"
#include "qt_file_dialog.h"
#include "qt_instance_lock.h"
#include "qt_scheduler.h"
#include "qt_settings_store.h"
#include "qt_system_info.h"
#include "qt_user_prompt.h"
#include "sheet/registry_column_widths.h"
#include "sheet/sheet_look.h"
#include "text/text_table.h"

#include <memory>
#include <string>
#include <vector>

namespace qx {

// The editor's global objects. Members are made in declaration order and go in reverse, so the
// settings record comes first and is saved last, after everything that may change it is gone.
class EditorGlobals {
public:
    EditorGlobals(std::vector<std::string> arguments, QtSystemInfo::WorkAreaSource workArea);
    EditorGlobals(const EditorGlobals&) = delete;
    EditorGlobals& operator=(const EditorGlobals&) = delete;

    bool firstInstance() const { return env.firstInstance(); }

    // What the global objects stand on; these outlive them.
    QtSettingsStore settingsStore;
    QtInstanceLock instanceLock;
    QtSystemInfo systemInfo;
    QtScheduler scheduler;

    // The global objects, in their order.
    indEnviron env;
    cmcGTex uiText;
    cmcGTex helpText;
    cmcEvMan bus;

    // The code page of the interface table the language chose, and the dialogs that speak it.
    CodePageText codec;
    QtUserPrompt prompt;
    QtFileDialog fileDialog;
    // Sheets are sized with the fonts the screen paints them in.
    SheetLook metrics;
    cmcRegistryColumnWidths columnWidths;

    // The MainController, last of the global objects; only the first instance has one.
    std::unique_ptr<MainController> controller;
};

} // namespace qx
