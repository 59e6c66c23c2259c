#pragma once

#include <string>
#include <vector>

namespace qx::test {

// Every call string a user can open, as the tree and the clone information command name them.
inline std::vector<std::string> catalogueCallStrings() {
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

} // namespace qx::test
