#pragma once

#include "base/fatal_defect.h"
#include "base/user_prompt.h"
#include "text/text_source.h"
#include "text/text_table.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Shared pieces of the fuzz targets. The same sources run under libFuzzer and, compiled with
// the normal test build, over the seed corpus as regression tests.

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace qx::fuzz {

// Thrown by the defect trap: a defect of built-in data ends only this one input.
struct DefectStop {
    std::string text;
};

// Defects end the process with std::_Exit, which a fuzzer cannot tell from a clean run. The
// trap turns them into an exception (for inputs that stand for built-in data, where a defect
// is the designed answer) or into an abort that the fuzzer records (for user input, where a
// defect is a fault).
class DefectTrap : public UserPrompt {
public:
    explicit DefectTrap(bool expected) : m_expected(expected) {}
    PromptAnswer ask(const std::string& text, const std::string&, PromptIcon,
                     PromptButtons) override {
        if (m_expected) {
            throw DefectStop{text};
        }
        std::fprintf(stderr, "defect on user input: %s\n", text.c_str());
        std::abort();
    }

private:
    bool m_expected;
};

inline void installDefectTrap(bool expected) {
    static DefectTrap expectedTrap(true);
    static DefectTrap faultTrap(false);
    installDefectPrompt(expected ? &expectedTrap : &faultTrap, "QX-5130");
}

// The built-in English table, attached once for all inputs.
inline cmcGTex& builtInTable() {
    static cmcGTex table;
    static const bool attached = table.attachSource(kTextTable_en);
    (void)attached;
    return table;
}

// A broken invariant: the fuzzer keeps the input that showed it.
[[noreturn]] inline void fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
    std::abort();
}

// Takes bytes from the front of the input; past its end every read gives 0.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::uint8_t byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }
    std::size_t remaining() const { return m_size - m_pos; }
    const std::uint8_t* rest() const { return m_data + m_pos; }
    std::string restText() const {
        return std::string(reinterpret_cast<const char*>(m_data + m_pos), m_size - m_pos);
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

} // namespace qx::fuzz

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::qx::fuzz::fail(#condition, __FILE__, __LINE__);                                      \
        }                                                                                          \
    } while (false)
