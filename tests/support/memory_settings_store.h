#pragma once

#include "base/settings_store.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace qx::test {

// Settings in memory. A value is a number or a text, as in the registry, so a test can store
// a text where a number belongs. Counts flushes and can refuse them.
class MemorySettingsStore : public SettingsStore {
public:
    using Value = std::variant<std::int32_t, std::string>;
    using Values = std::map<std::pair<std::string, std::string>, Value>; // (key, name)

    std::optional<std::int32_t> readNumber(const std::string& key,
                                           const std::string& name) const override {
        const auto it = user.find({key, name});
        if (it == user.end() || !std::holds_alternative<std::int32_t>(it->second)) {
            return std::nullopt;
        }
        return std::get<std::int32_t>(it->second);
    }
    std::optional<std::string> readText(const std::string& key,
                                        const std::string& name) const override {
        const auto it = user.find({key, name});
        if (it == user.end()) {
            return std::nullopt;
        }
        if (const auto* n = std::get_if<std::int32_t>(&it->second)) {
            return std::to_string(*n);
        }
        return std::get<std::string>(it->second);
    }
    void writeNumber(const std::string& key, const std::string& name, std::int32_t value) override {
        user[{key, name}] = value;
        ++writes;
    }
    void writeText(const std::string& key, const std::string& name,
                   const std::string& value) override {
        user[{key, name}] = value;
        ++writes;
    }
    void deleteValue(const std::string& key, const std::string& name) override {
        user.erase({key, name});
    }
    void deleteKey(const std::string& key) override {
        std::erase_if(user, [&](const auto& entry) {
            const std::string& k = entry.first.first;
            return k == key || (k.size() > key.size() && k.compare(0, key.size(), key) == 0 &&
                                k[key.size()] == '\\');
        });
    }
    std::optional<std::int32_t> readMachineNumber(const std::string& key,
                                                  const std::string& name) const override {
        const auto it = machine.find({key, name});
        if (it == machine.end() || !std::holds_alternative<std::int32_t>(it->second)) {
            return std::nullopt;
        }
        return std::get<std::int32_t>(it->second);
    }
    bool flush() override {
        ++flushes;
        return !failFlush;
    }

    Values user;
    Values machine;
    int writes = 0;
    int flushes = 0;
    bool failFlush = false;
};

} // namespace qx::test
