#pragma once

#include "app/code_page_text.h"
#include "app/environ.h"
#include "app/main_controller.h"
#include "app/main_window.h"
#include "app/qt_file_dialog.h"
#include "base/event_manager.h"
#include "base/text_metrics.h"
#include "fake_instance_lock.h"
#include "fixed_system_info.h"
#include "memory_settings_store.h"
#include "qt_scheduler.h"
#include "recording_prompt.h"
#include "temp_folder.h"
#include "text/text_table.h"

#include <set>
#include <string>
#include <vector>

namespace qx::test {

// For the programs that link the editor's widgets (qx5130_gui).

// One run of the editor on a settings store that outlives it: the global objects, the
// controller and the main window, with message boxes answered from a queue and the real file
// dialogs.
struct EditorSession {
    EditorSession(MemorySettingsStore& store, std::set<std::string>& taken,
                  std::vector<std::string> arguments = {},
                  const SerialPortCatalogue* serialPorts = nullptr)
        : lock(taken), system(systemIn(userData)),
          env(indEnviron::kMutexName, indEnviron::kRegistryRoot, indEnviron::kRegistryRoot, store,
              lock, system, std::move(arguments)),
          bus(scheduler), fileDialog(codec),
          controller(env, uiText, bus, ports(store, serialPorts)),
          window(controller, codec, system.area) {
        fileDialog.setOwner(&window);
    }

    // No serial ports unless the test gives a device tree: the machine's own stay out of it.
    MainControllerPorts ports(MemorySettingsStore& store, const SerialPortCatalogue* serialPorts) {
        MainControllerPorts p{scheduler, scheduler, prompt, fileDialog, system, metrics};
        p.store = &store;
        p.catalogue = serialPorts != nullptr ? serialPorts : &noPorts;
        return p;
    }

    struct NoPorts : SerialPortCatalogue {
        std::vector<SerialPortInfo> ports() const override { return {}; }
    };

    NoPorts noPorts;

    // Backups and recovery copies of this run go here, never to the user's own folders.
    static FixedSystemInfo systemIn(const TempFolder& folder) {
        FixedSystemInfo info;
        info.backups = (folder.path() / "backups").string();
        info.recovery = (folder.path() / "recovery").string();
        return info;
    }

    FakeInstanceLock lock;
    TempFolder userData;
    FixedSystemInfo system;
    QtScheduler scheduler;
    indEnviron env;
    cmcGTex uiText;
    cmcEvMan bus;
    CodePageText codec;
    RecordingPrompt prompt;
    QtFileDialog fileDialog;
    FixedTextMetrics metrics;
    MainController controller;
    TForm1 window;
};

// Settings of a finished setup: destination 3, no digital unit.
inline void storeFinishedSetup(MemorySettingsStore& store, std::set<std::string>& taken,
                               int destination = 3, bool digitalUnit = false) {
    FakeInstanceLock lock(taken);
    FixedSystemInfo system;
    indEnviron env(indEnviron::kMutexName, indEnviron::kRegistryRoot, indEnviron::kRegistryRoot,
                   store, lock, system, {});
    env.destination = destination;
    env.digitalUnit = digitalUnit;
    env.dvInhibit = false;
    env.pagerInhibit = false;
}

} // namespace qx::test
