#pragma once

#include "app/environ.h"
#include "base/event_manager.h"
#include "code_page_text.h"
#include "qt_instance_lock.h"
#include "qt_scheduler.h"
#include "qt_settings_store.h"
#include "qt_system_info.h"
#include "text/text_table.h"

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
    // The MainController (model tag "QX5130", image size 70704) goes here, last.

    // The code page of the interface table the language chose.
    CodePageText codec;
};

} // namespace qx
