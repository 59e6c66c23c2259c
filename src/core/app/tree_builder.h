#pragma once

#include "app/cell_evaluator.h"
#include "app/ui_item.h"
#include "base/task.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class TextLines;
struct CheckListResult;
struct FeatureFlags;

// The navigation tree built from a description pair. Selecting a node opens its sheet, but only
// after the selection has rested for the change delay, so that moving through the tree with the
// arrow keys does not build every sheet on the way.
class cuiTree {
public:
    cuiTree(TextLines& text, CellEvaluator evaluate, Scheduler& scheduler, bool shiftJis = false,
            bool japaneseSystem = false);
    ~cuiTree();
    cuiTree(const cuiTree&) = delete;
    cuiTree& operator=(const cuiTree&) = delete;

    // Builds the nodes of `key`; node 0 is expanded and selected (without the delay, and
    // without opening its sheet: the periodic task does that).
    void build(std::string_view key);
    // The invisible root; its children are the top-level nodes.
    cuiItem& root() { return m_root; }
    const cuiItem& root() const { return m_root; }
    // Every node, parents before children, in the order of the body.
    std::vector<cuiItem*> nodes();
    cuiItem* node(std::size_t i);
    // The first node (depth first) whose caption is `caption`; for tests and diagnostics.
    cuiItem* findByCaption(std::string_view caption);
    cuiItem* findByCallString(std::string_view callString);

    // Removes the optional nodes this transceiver variant has no use for, with their children.
    // True when any was removed.
    bool prune(const FeatureFlags& flags);
    // Gives every bank node of `variant` (St_CCBank or St_ChGps) the caption. True when one
    // changed.
    bool rename(std::int32_t variant, const std::string& caption);
    // Marks the nodes whose sheets have errors or warnings. A collapsed node also shows the
    // worst mark among its hidden descendants, so that nothing flagged stays out of sight.
    void applyMarks(const CheckListResult& found);

    // The user selected a node: after the change delay its cell is executed (unless it opens
    // the sheet already shown, which the CallSheet link itself checks).
    void select(cuiItem* node);
    cuiItem* selected() const { return m_selected; }
    // The user expanded or collapsed a node: told to the marks listener.
    void setExpanded(cuiItem& node, bool expanded);
    void setMarksListener(std::function<void()> listener) { m_marksNeeded = std::move(listener); }

    // Executes the selected node's cell now (the periodic task opens its sheet with it).
    std::int32_t executeSelected();

    int changeDelayMs() const { return m_delayMs; }

private:
    void collect(cuiItem& item, std::vector<cuiItem*>& out);
    void changeDelayElapsed();

    TextLines& m_text;
    CellEvaluator m_evaluate;
    bool m_shiftJis;
    bool m_japaneseSystem;
    cmcCellObj m_basic;
    cuiItem m_root;
    cuiItem* m_selected = nullptr;
    int m_delayMs = 200;
    TaskHolder m_changeTask;
    std::function<void()> m_marksNeeded;
};

} // namespace qx
