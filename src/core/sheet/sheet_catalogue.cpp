#include "sheet/sheet_catalogue.h"

#include "sheet/sheet_kinds.h"

#include "radio/bank_link_table.h"
#include "radio/channel_record.h"
#include "radio/image_map.h"

namespace qx {

std::vector<std::string> catalogueCallStrings() {
    std::vector<std::string> calls = {
        "GI_Sheet_TopPage",
        "GI_Sheet_TreeTop",
        "GI_Sheet_CloneInfo",
        "[St_ColCut]GI_Sheet_ScanEdge,5",
        "[St_ColCut]GI_Sheet_CallCh,6",
        "[St_ColCut]GI_Sheet_Func,7,0",
        "[St_ColCut]GI_Sheet_Func,8,2",
        "GI_Sheet_ScanName",
        "GI_Sheet_BankName",
        "[St_ChGps]GI_Sheet_GPS_Memory,35",
        "GI_Sheet_GPS_BankName",
        "GI_Sheet_DTMF_Memory",
        "GI_Sheet_PGR_Memory",
        "GI_Sheet_Message",
        "GI_Sheet_My_Callsign",
        "GI_Sheet_You_Callsign",
        "GI_Sheet_Repeater_Callsign",
        "GI_Sheet_Received_Callsign",
    };
    for (int block = 0; block < 5; ++block) {
        calls.push_back("[St_ColCut]GI_Sheet_MemoryCH," + std::to_string(block) + "," +
                        std::to_string(block * 100));
    }
    for (int variant = 9; variant <= 34; ++variant) {
        calls.push_back("[St_CCBank]GI_Sheet_BankCH," + std::to_string(variant));
    }
    for (int variant = 36; variant <= 61; ++variant) {
        calls.push_back("[St_ChGps]GI_Sheet_GPS_BankCH," + std::to_string(variant));
    }
    for (const char* key : {"GI_Sheet_Common", "GI_Sheet_LR_Band", "GI_Sheet_Digital"}) {
        for (int variant = 0; variant <= 2; ++variant) {
            calls.push_back(std::string("[St_Common]") + key + "," + std::to_string(variant));
        }
    }
    return calls;
}

CallString decodeCallString(std::string_view callString) {
    CallString decoded;
    const std::size_t comma = callString.find(',');
    const std::string_view head = callString.substr(0, comma);
    if (comma != std::string_view::npos) {
        decoded.arguments = std::string(callString.substr(comma + 1));
    }
    const std::size_t open = head.find('[');
    const std::size_t close = open == std::string_view::npos ? open : head.find(']', open + 1);
    if (close == std::string_view::npos) {
        decoded.sheetKey = std::string(head);
    } else {
        decoded.kind = std::string(head.substr(open + 1, close - open - 1));
        decoded.sheetKey = std::string(head.substr(close + 1));
    }
    return decoded;
}

std::unique_ptr<cuiSheet> createSheet(const SheetEnvironment& environment,
                                      std::string_view callString) {
    const CallString decoded = decodeCallString(callString);
    std::unique_ptr<cuiSheet> sheet;
    if (decoded.kind == "St_ColCut") {
        sheet = std::make_unique<iuiSh_ColCut_A>(environment, decoded.sheetKey);
    } else if (decoded.kind == "St_CCBank") {
        sheet = std::make_unique<iuiSh_ColCutBank>(environment, decoded.sheetKey);
    } else if (decoded.kind == "St_ChGps") {
        sheet = std::make_unique<iuiSh_GpsCh>(environment, decoded.sheetKey);
    } else if (decoded.kind == "St_Common") {
        sheet = std::make_unique<iuiSh_Common>(environment, decoded.sheetKey);
    } else {
        sheet = std::make_unique<cuiSheet>(environment, decoded.sheetKey);
    }
    sheet->setCallString(std::string(callString));
    sheet->setArguments(decoded.arguments);
    if (environment.dispatcher) {
        sheet->setDispatcher(environment.dispatcher);
    }
    return sheet;
}

void usePrintRulesOf(SheetEnvironment& environment, cmcEeprom& image) {
    environment.channelInUse = [&image](int channel) {
        ChannelRecord record(image);
        return record.load(kKindChannel, channel) && record.used;
    };
    environment.bankHasEntry = [&image](int bank) {
        for (int slot = 0; slot < imagemap::kBankSlotCount; ++slot) {
            if (banklink::slot(image, bank, slot) < imagemap::kBankableChannelCount) {
                return true;
            }
        }
        return false;
    };
}

cuiSheet& cmcSheetRouter::openSheet(std::string_view callString) {
    closeCurrent();
    m_current = createSheet(m_env, callString);
    for (const auto& position : m_positions) {
        if (position.callString == callString) {
            m_current->setSavedPosition(position.column, position.row, position.topRow,
                                        position.leftColumn);
            break;
        }
    }
    if (m_widthReset) {
        m_current->requestColumnWidthReset();
        m_widthReset = false;
    }
    m_current->show();
    return *m_current;
}

void cmcSheetRouter::closeCurrent() {
    if (!m_current) {
        return;
    }
    const std::string& callString = m_current->callString();
    m_positions.remove_if(
        [&callString](const SheetPosition& p) { return p.callString == callString; });
    m_positions.push_front({callString, m_current->currentColumn(), m_current->currentRow(),
                            m_current->topRow(), m_current->leftColumn()});
    m_current.reset();
}

void cmcSheetRouter::reopen() {
    if (!m_current) {
        if (!m_positions.empty()) {
            const std::string callString = m_positions.front().callString;
            openSheet(callString);
        }
        return;
    }
    const std::string callString = m_current->callString();
    openSheet(callString);
}

std::int32_t cmcSheetRouter::runCallSheet(const cmcCellCapsule& request) {
    if (request.cell == nullptr || !request.cell->linkParameter) {
        return kResultNone;
    }
    const std::string& callString = *request.cell->linkParameter;
    if (m_current && m_current->callString() == callString) {
        return kResultNone;
    }
    openSheet(callString);
    return kResultChanged;
}

std::unique_ptr<cuiSheet> createListSheet(const SheetEnvironment& environment,
                                          const std::string& listKey, const cmcCellCapsule& origin,
                                          std::int32_t itemLink, std::int32_t value) {
    std::unique_ptr<cuiSheet> sheet;
    if (listKey == "GI_Sheet_Sel_Mch_DYou_Callsign" ||
        listKey == "GI_Sheet_Sel_Mch_DRpt_Callsign") {
        sheet = std::make_unique<iuiSh_Mch>(environment, listKey);
    } else {
        sheet = std::make_unique<cuiSheet>(environment, listKey);
    }
    sheet->setPopupMode(true);
    sheet->setOrigin(origin);
    sheet->requestCell(itemLink, value);
    sheet->show();
    return sheet;
}

} // namespace qx
