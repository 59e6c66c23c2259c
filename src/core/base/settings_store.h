#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qx {

// Registry-shaped settings. A key is a backslash-separated path such as
// "Software\Orsa\QX-5130\Global"; it holds named values, each a 32-bit number or a text (bytes).
// Per-user keys are read and written; the machine-wide keys are only ever read.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Empty when the value is missing or is not a number.
    virtual std::optional<std::int32_t> readNumber(const std::string& key,
                                                   const std::string& name) const = 0;
    // Empty when the value is missing; a number reads as its decimal text.
    virtual std::optional<std::string> readText(const std::string& key,
                                                const std::string& name) const = 0;
    virtual void writeNumber(const std::string& key, const std::string& name,
                             std::int32_t value) = 0;
    virtual void writeText(const std::string& key, const std::string& name,
                           const std::string& value) = 0;
    virtual void deleteValue(const std::string& key, const std::string& name) = 0;
    // The key, its values and every key below it.
    virtual void deleteKey(const std::string& key) = 0;

    // A machine-wide number, read-only; empty when missing or not a number.
    virtual std::optional<std::int32_t> readMachineNumber(const std::string& key,
                                                          const std::string& name) const = 0;

    // Makes the writes permanent; false when the store could not be written.
    virtual bool flush() = 0;
};

} // namespace qx
