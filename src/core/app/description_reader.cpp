#include "app/description_reader.h"

#include "base/text_lines.h"
#include "sheet/cell_parser.h"

namespace qx {

std::vector<std::string> descriptionBody(TextLines& text, std::string_view bodyKey) {
    std::vector<std::string> body;
    for (int n = 0;; ++n) {
        std::string line = text.line(bodyKey, n);
        if (!line.empty() && line[0] == '#') {
            break;
        }
        body.push_back(std::move(line));
    }
    return body;
}

int descriptionDepth(std::string_view line) {
    const std::size_t plus = line.find('+');
    return static_cast<int>(plus == std::string_view::npos ? line.size() : plus);
}

std::unique_ptr<cuiItem> parseDescriptionItem(const cmcCellParser& parser, std::string_view line,
                                              const cmcCellObj* basic) {
    auto item = std::make_unique<cuiItem>();
    const std::size_t plus = line.find('+');
    std::string_view text = plus == std::string_view::npos ? line : line.substr(plus + 1);
    // A tree node's option flags sit in a group of their own after a tab.
    std::string_view options;
    if (const std::size_t tab = text.find('\t'); tab != std::string_view::npos) {
        options = text.substr(tab + 1);
        text = text.substr(0, tab);
    }
    if (!parser.parseCell(item->cell, text, nullptr, basic)) {
        cmcCellParser::resetCell(item->cell, basic);
    }
    if (!options.empty()) {
        cmcCellObj flags;
        if (parser.parseCell(flags, options, nullptr, nullptr)) {
            item->optionFlags = flags.userFlags;
        }
    }
    item->caption = std::string(item->cell.displayText());
    item->kind = item->caption == "-" ? cuiItem::Kind::Separator : cuiItem::Kind::Command;
    item->shortcut = item->cell.linkParameter.value_or(std::string());
    item->imageIndex = item->cell.imageIndex;
    return item;
}

std::size_t readDescriptionLevel(const cmcCellParser& parser, const std::vector<std::string>& body,
                                 std::size_t first, const cmcCellObj* basic, cuiItem& parent) {
    std::size_t i = first;
    int levelDepth = -1;
    cuiItem* last = nullptr;
    while (i < body.size()) {
        const int depth = descriptionDepth(body[i]);
        if (levelDepth < 0) {
            levelDepth = depth;
        }
        if (depth > levelDepth && last != nullptr) {
            i += readDescriptionLevel(parser, body, i, basic, *last);
            continue;
        }
        if (depth < levelDepth) {
            break;
        }
        // Equal depth, or deeper before any item of this level: an item of this level.
        auto item = parseDescriptionItem(parser, body[i], basic);
        item->parent = &parent;
        last = item.get();
        parent.children.push_back(std::move(item));
        ++i;
    }
    return i - first;
}

} // namespace qx
