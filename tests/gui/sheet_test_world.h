#pragma once

#include "app/code_page_text.h"
#include "app/document.h"
#include "app/recent_files.h"
#include "base/event_manager.h"
#include "manual_scheduler.h"
#include "memory_settings_store.h"
#include "radio/cell_link_dispatch.h"
#include "radio/clone_information.h"
#include "recording_prompt.h"
#include "scripted_file_dialog.h"
#include "sheet/gtex_lines.h"
#include "sheet/registry_column_widths.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/sheet_grid.h"
#include "sheet/sheet_look.h"
#include "sheet/sheet_script.h"
#include "sheet/sheet_widget.h"
#include "sheet/value_tables.h"
#include "text/text_source.h"
#include "text/text_table.h"

#include <QApplication>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QTest>

#include <map>
#include <memory>
#include <string>

namespace qx::test {

// The editor's objects around one sheet on screen: the English table, a document of one
// destination with the variant flags the command line uses by default, the cell links, the
// column widths in a settings store that outlives the widgets, and the sheet's widget.
struct SheetTestWorld {
    explicit SheetTestWorld(int destination = 0, FeatureFlags flags = defaultFlags())
        : features(flags) {
        table.attachSource(kTextTable_en);
        document.setFeatureFlags(flags);
        document.images().setDestination(destination);
        rebuildLinks();
    }

    static FeatureFlags defaultFlags() {
        FeatureFlags f;
        f.dvInhibit = true;
        f.pagerInhibit = true;
        return f;
    }

    void rebuildLinks() {
        ImageSet& images = document.images();
        env.text = &lines;
        env.metrics = &look;
        env.widths = &widths;
        env.bus = &bus;
        env.image = &images.current();
        env.destination = images.destination();
        env.digitalUnit = features.digitalUnit;
        env.dvInhibit = features.dvInhibit;
        env.pagerInhibit = features.pagerInhibit;
        LinkEnvironment links;
        links.image = &images.current();
        links.destination = images.destination();
        links.features = features;
        links.lists = &tables;
        links.cloneInformation = &information;
        links.restartRefresh = [&images] { images.checkModified(); };
        dispatch = std::make_unique<cmcCellLinkDispatch>(links);
    }

    SheetServices services() {
        SheetServices s;
        s.look = &look;
        s.dispatch = [this](cmcCellCapsule& r) { return dispatch->dispatch(r); };
        s.environment = env;
        s.workArea = [this] { return workArea; };
        return s;
    }

    // Opens the sheet of a call string in a widget of the given size and shows it.
    SheetWidget& open(const std::string& callString, QSize size = {900, 600}) {
        widget.reset();
        sheet = createSheet(env, callString);
        sheet->setDispatcher([this](cmcCellCapsule& r) { return dispatch->dispatch(r); });
        sheet->show();
        widget = std::make_unique<SheetWidget>(*sheet, services());
        widget->resize(size);
        widget->move(workArea.left, workArea.top);
        widget->show();
        QApplication::setActiveWindow(widget.get());
        widget->grid().setFocus();
        if (!QTest::qWaitForWindowExposed(widget.get())) {
            qWarning("the sheet's window was not exposed");
        }
        widget->grid().sheetChanged();
        return *widget;
    }
    SheetGrid& grid() { return widget->grid(); }
    QWidget* viewport() { return widget->grid().viewport(); }
    std::string text(int column, int row) {
        return cmcSheetScript(*sheet, *dispatch, tables).cellText(column, row);
    }
    // The centre of a cell in the grid's view.
    QPoint centre(int column, int row) { return grid().cellRect(column, row)->center(); }

    FeatureFlags features;
    ScreenRect workArea{0, 0, 1280, 1000};
    cmcGTex table;
    RecordingPrompt prompt;
    ScriptedFileDialog dialog;
    ManualScheduler scheduler;
    cmcEvMan bus{scheduler};
    cmcRecent recent;
    std::string directory;
    indDocument document{table, prompt, dialog, &bus, recent, directory, 0};
    GTexLines lines{table};
    cmcValueTables tables{lines};
    CloneInformation information;
    CodePageText codec;
    SheetLook look{codec, QApplication::palette()};
    MemorySettingsStore store;
    cmcRegistryColumnWidths widths{store};
    SheetEnvironment env;
    std::unique_ptr<cmcCellLinkDispatch> dispatch;
    std::unique_ptr<cuiSheet> sheet;
    std::unique_ptr<SheetWidget> widget;
};

// A paint device that keeps every text drawn on it with its place, and nothing else.
class TextRecorder : public QPaintDevice {
public:
    struct Drawn {
        QPointF at;
        QString text;
    };

    QPaintEngine* paintEngine() const override { return &m_engine; }
    const std::vector<Drawn>& drawn() const { return m_engine.drawn; }
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 32;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
        default:
            return 1;
        }
    }
    void setSize(QSize size) { m_size = size; }

private:
    class Engine : public QPaintEngine {
    public:
        Engine()
            : QPaintEngine(QPaintEngine::PaintEngineFeatures(QPaintEngine::AllFeatures) &
                           ~QPaintEngine::PaintEngineFeatures(QPaintEngine::PainterPaths)) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState& changed) override {
            if ((changed.state() & QPaintEngine::DirtyTransform) != 0) {
                transform = changed.transform();
            }
            if ((changed.state() & QPaintEngine::DirtyClipRegion) != 0) {
                clip = changed.clipRegion().boundingRect();
            }
            if ((changed.state() & QPaintEngine::DirtyClipPath) != 0) {
                clip = changed.clipPath().boundingRect().toRect();
            }
            if ((changed.state() & QPaintEngine::DirtyClipEnabled) != 0 &&
                !changed.isClipEnabled()) {
                clip = QRect();
            }
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        // Text that starts outside the clip is painted by another cell's share of a run.
        void drawTextItem(const QPointF& p, const QTextItem& item) override {
            const QPointF at = transform.map(p);
            if (clip.isNull() || clip.contains(at.toPoint())) {
                drawn.push_back({at, item.text()});
            }
        }
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        Type type() const override { return QPaintEngine::User; }
        QTransform transform;
        QRect clip;
        std::vector<Drawn> drawn;
    };
    mutable Engine m_engine;
    QSize m_size{2000, 4000};
};

} // namespace qx::test
