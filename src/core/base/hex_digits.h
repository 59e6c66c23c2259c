#pragma once

#include <string>

namespace qx {

inline constexpr char kHexDigits[] = "0123456789ABCDEF";

// Value of one hexadecimal digit in either case, or -1.
constexpr int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Appends the low `digits` hexadecimal digits of value, upper case, most significant first.
inline void appendHex(std::string& out, unsigned value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out.push_back(kHexDigits[(value >> shift) & 0xF]);
    }
}

} // namespace qx
