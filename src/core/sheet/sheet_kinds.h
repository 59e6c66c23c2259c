#pragma once

#include "sheet/sheet.h"

namespace qx {

// Channel-like sheets whose columns may be cut (hidden) after the fill pass.
class iuiSh_ColCut : public cuiSheet {
public:
    using cuiSheet::cuiSheet;

protected:
    void afterFill() override;
    // True when the column holding this cell is to be hidden.
    virtual bool cutTest(const cmcCellObj& /*cell*/) const { return false; }
};

// Memory channel blocks, scan edges, call channels and function memories: sheet variant and
// index offset as arguments; Canceller and digital columns follow destination and unit.
class iuiSh_ColCut_A : public iuiSh_ColCut {
public:
    using iuiSh_ColCut::iuiSh_ColCut;

    void setArguments(std::string arguments) override;
    void applyStyleToken(std::string_view token) override;
    bool printable() const override;
    bool includedInPrintAll() const override;

    std::int32_t variant() const { return m_variant; }
    // Print-all choices for memory blocks and banks.
    void setPrintAllChoices(bool memoryBlocks, bool banks) {
        m_printMemory = memoryBlocks;
        m_printBanks = banks;
    }

protected:
    bool cutTest(const cmcCellObj& cell) const override;
    virtual void adjustCaption();

    std::int32_t m_variant = 0;
    bool m_printMemory = false;
    bool m_printBanks = false;
};

// Bank channel lists A-Z (variants 9-34), captioned with the bank's name.
class iuiSh_ColCutBank : public iuiSh_ColCut_A {
public:
    using iuiSh_ColCut_A::iuiSh_ColCut_A;

protected:
    void adjustCaption() override;
};

// All GPS memories (variant 35) or the GPS memories of one GPS bank (36-61).
class iuiSh_GpsCh : public cuiSheet {
public:
    using cuiSheet::cuiSheet;

    void setArguments(std::string arguments) override;
    void applyStyleToken(std::string_view token) override;
    bool printable() const override;
    std::string titleText() const override { return m_caption; }
    std::int32_t variant() const { return m_variant; }
    int gpsMemoryCount() const { return m_gpsCount; }

protected:
    void afterFill() override;
    // Insert, Delete and the like change which memories the list holds.
    bool rowsOutdated() const override;

private:
    bool inBank(int gpsIndex) const;
    int countInUse() const;
    bool shows(int gpsIndex, int count) const;
    std::int32_t m_variant = 0;
    int m_gpsCount = 0;
    std::string m_caption;
};

// Common, L/R band and digital settings (variant 0 current, 1 and 2 the function memories).
class iuiSh_Common : public cuiSheet {
public:
    using cuiSheet::cuiSheet;

    void setArguments(std::string arguments) override;
    void applyStyleToken(std::string_view token) override;
    void applyDirective(std::string_view token) override;
    std::int32_t variant() const { return m_variant; }

private:
    std::int32_t m_variant = 0;
};

// Call sign pick lists: a loop over the stored call signs of the list.
class iuiSh_Mch : public cuiSheet {
public:
    using cuiSheet::cuiSheet;

    void applyDirective(std::string_view token) override;

protected:
    void rowFilled(int row, bool copied) override;

private:
    // The stored entry at or after index, or the end marker of the list.
    std::int32_t nextStored(std::int32_t index) const;
    bool repeaterList() const { return m_repeaterList; }
    int storedCount() const;

    bool m_repeaterList = false;
    int m_loopLine = -1;
};

// The text of a bank title: " A: NAME" from 8 name bytes, non-name characters as blanks.
std::string bankTitle(char letter, const std::uint8_t* name);

} // namespace qx
