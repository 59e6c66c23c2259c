#include "app/tree_builder.h"

#include "app/description_reader.h"
#include "base/text_lines.h"
#include "radio/feature_flags.h"
#include "sheet/cell_parser.h"
#include "sheet/sheet_catalogue.h"
#include "sheet/warning_check_list.h"

#include <algorithm>
#include <charconv>

namespace qx {

namespace {

constexpr std::uint8_t kFlagPager = 1U << 0;
constexpr std::uint8_t kFlagGps = 1U << 1;
constexpr std::uint8_t kFlagsDigitalVoice = (1U << 2) | (1U << 3) | (1U << 4);

int leadingNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    int value = -1;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

ItemMark worse(ItemMark a, ItemMark b) {
    return static_cast<std::uint8_t>(a) > static_cast<std::uint8_t>(b) ? a : b;
}

ItemMark markOf(CheckMark mark) {
    switch (mark) {
    case CheckMark::Warning:
        return ItemMark::Warning;
    case CheckMark::Error:
        return ItemMark::Error;
    case CheckMark::None:
        break;
    }
    return ItemMark::None;
}

// Sets the marks below `item` and answers the worst of them.
ItemMark markSubtree(cuiItem& item, const CheckListResult& found) {
    ItemMark below = ItemMark::None;
    for (auto& child : item.children) {
        below = worse(below, markSubtree(*child, found));
    }
    const ItemMark own = markOf(found.markFor(item.callString()));
    item.mark = item.expanded || item.children.empty() ? own : worse(own, below);
    return worse(own, below);
}

} // namespace

cuiTree::cuiTree(TextLines& text, CellEvaluator evaluate, Scheduler& scheduler, bool shiftJis,
                 bool japaneseSystem)
    : m_text(text), m_evaluate(std::move(evaluate)), m_shiftJis(shiftJis),
      m_japaneseSystem(japaneseSystem), m_changeTask(scheduler) {
    m_changeTask->setCallback([this](cmcTask& task) {
        task.schedule(-1);
        changeDelayElapsed();
    });
}

cuiTree::~cuiTree() = default;

void cuiTree::build(std::string_view key) {
    const std::string name(key);
    const int delay = leadingNumber(m_text.line("GI_Sys_TreeChangeDelay", 0));
    m_delayMs = delay >= 0 ? delay : 200;
    const cmcCellParser parser(m_text, m_shiftJis, m_japaneseSystem);
    const std::string basicLine = m_text.line(name + "_BasicCell", 0);
    std::string_view basic = basicLine;
    if (!parser.parseCell(m_basic, basic, nullptr, nullptr)) {
        cmcCellParser::resetCell(m_basic, nullptr);
    }
    m_root.children.clear();
    m_selected = nullptr;
    m_changeTask->schedule(-1);
    readDescriptionLevel(parser, descriptionBody(m_text, name + "_Body"), 0, &m_basic, m_root);
    if (!m_root.children.empty()) {
        m_root.children.front()->expanded = true;
        m_selected = m_root.children.front().get();
    }
}

void cuiTree::collect(cuiItem& item, std::vector<cuiItem*>& out) {
    for (auto& child : item.children) {
        out.push_back(child.get());
        collect(*child, out);
    }
}

std::vector<cuiItem*> cuiTree::nodes() {
    std::vector<cuiItem*> out;
    collect(m_root, out);
    return out;
}

cuiItem* cuiTree::node(std::size_t i) {
    const std::vector<cuiItem*> all = nodes();
    return i < all.size() ? all[i] : nullptr;
}

cuiItem* cuiTree::findByCaption(std::string_view caption) {
    for (cuiItem* n : nodes()) {
        if (n->caption == caption) {
            return n;
        }
    }
    return nullptr;
}

cuiItem* cuiTree::findByCallString(std::string_view callString) {
    for (cuiItem* n : nodes()) {
        if (n->callString() == callString) {
            return n;
        }
    }
    return nullptr;
}

bool cuiTree::prune(const FeatureFlags& flags) {
    const bool digitalVoice = flags.digitalUnit && !flags.dvInhibit;
    auto unwanted = [&](const cuiItem& n) {
        return ((n.optionFlags & kFlagGps) != 0 && !flags.digitalUnit) ||
               ((n.optionFlags & kFlagsDigitalVoice) != 0 && !digitalVoice) ||
               ((n.optionFlags & kFlagPager) != 0 && flags.pagerInhibit);
    };
    bool removedAny = false;
    for (;;) {
        cuiItem* victim = nullptr;
        for (cuiItem* n : nodes()) {
            if (unwanted(*n)) {
                victim = n;
                break;
            }
        }
        if (victim == nullptr) {
            return removedAny;
        }
        // The selection must not point into what goes.
        for (const cuiItem* s = m_selected; s != nullptr; s = s->parent) {
            if (s == victim) {
                m_selected = m_root.children.empty() ? nullptr : m_root.children.front().get();
                m_changeTask->schedule(-1);
                break;
            }
        }
        auto& siblings = victim->parent->children;
        siblings.erase(std::find_if(siblings.begin(), siblings.end(),
                                    [victim](const auto& c) { return c.get() == victim; }));
        removedAny = true;
    }
}

bool cuiTree::rename(std::int32_t variant, const std::string& caption) {
    bool changed = false;
    for (cuiItem* n : nodes()) {
        const CallString call = decodeCallString(n->callString());
        if ((call.kind == "St_CCBank" || call.kind == "St_ChGps") &&
            leadingNumber(call.arguments) == variant && n->caption != caption) {
            n->caption = caption;
            changed = true;
        }
    }
    return changed;
}

void cuiTree::applyMarks(const CheckListResult& found) {
    for (auto& top : m_root.children) {
        markSubtree(*top, found);
    }
}

void cuiTree::select(cuiItem* node) {
    m_selected = node;
    m_changeTask->schedule(m_delayMs);
}

void cuiTree::setExpanded(cuiItem& node, bool expanded) {
    node.expanded = expanded;
    if (m_marksNeeded) {
        m_marksNeeded();
    }
}

void cuiTree::changeDelayElapsed() {
    executeSelected();
}

std::int32_t cuiTree::executeSelected() {
    if (m_selected == nullptr || !m_evaluate) {
        return kResultNone;
    }
    cmcCellCapsule request;
    request.cell = &m_selected->cell;
    request.command = kItemExecute;
    return m_evaluate(request);
}

} // namespace qx
