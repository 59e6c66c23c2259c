#pragma once

#include <cstdint>
#include <optional>
#include <utility>

// Shared vocabulary of the value formatters (frequency_format.h, text_format.h, gps_format.h,
// row_label.h): every parse of a committed text returns a value or says why it refused it.
// Texts are byte strings in the code page of the active text table.

namespace qx {

// The code page of the active text table: it decides the degree sign and whether double-byte
// characters can occur at all.
enum class CodePage : std::uint8_t { Windows1252, ShiftJis };

// Order of a shown date: "yyyy/mm/dd" on a Japanese system, "mm/dd/yyyy" otherwise.
enum class DateOrder : std::uint8_t { YearMonthDay, MonthDayYear };

enum class ParseRefusal : std::uint8_t {
    Empty,      // nothing usable was typed: the value stays as it was
    BadForm,    // the text does not have the form of the value
    OutOfRange, // a well-formed value the field cannot hold
};

template <typename T> class ParseResult {
public:
    ParseResult(T value) : m_value(std::move(value)) {}
    ParseResult(ParseRefusal refusal) : m_refusal(refusal) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *m_value; }
    const T& operator*() const { return *m_value; }
    const T* operator->() const { return &*m_value; }
    // Meaningful only when !ok().
    ParseRefusal refusal() const { return m_refusal; }

private:
    std::optional<T> m_value;
    ParseRefusal m_refusal = ParseRefusal::Empty;
};

} // namespace qx
