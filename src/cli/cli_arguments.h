#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx::cli {

// One option a command takes: "-o", "--yes", "--at", ...
struct OptionRule {
    const char* name;
    bool takesValue;
};

// What a command accepts: its usage line (after "qx5130-cli "), its options and how many
// positional arguments it takes.
struct ArgumentRules {
    const char* usage; // e.g. "set FILE.icf CALLSTRING LINK INDEX TEXT [-o OUT.icf]"
    std::vector<OptionRule> options;
    std::size_t minPositional = 0;
    std::size_t maxPositional = 0;
};

// A command's arguments split by the usual conventions:
// - options may stand anywhere before "--"; everything after "--" is positional, so a path
//   or text that starts with '-' is reached through "--" (or, for a path, "./");
// - "-" alone is positional: standard input or output;
// - an option's value is the next argument, or follows '=' for a long option ("--at=5");
//   a value that starts with '-' (other than "-") is refused, so that a forgotten value never
//   swallows the next option;
// - an unknown option, a repeated option and a wrong number of positionals are refused.
class CommandArguments {
public:
    // Nullopt after printing the problem and the usage line on stderr.
    static std::optional<CommandArguments> parse(const std::vector<std::string>& args,
                                                 const ArgumentRules& rules);
    // The same without printing: the problem, or nullopt when the arguments are fine.
    static std::optional<std::string> split(const std::vector<std::string>& args,
                                            const ArgumentRules& rules, CommandArguments& out);

    bool has(std::string_view option) const;
    std::optional<std::string> value(std::string_view option) const;
    const std::vector<std::string>& positional() const { return m_positional; }
    const std::string& operator[](std::size_t i) const { return m_positional[i]; }

private:
    std::vector<std::pair<std::string, std::string>> m_options;
    std::vector<std::string> m_positional;
};

// Prints "qx5130-cli: PROBLEM" and the usage line on stderr; returns the usage exit status.
int usageError(const char* usage, const std::string& problem);

} // namespace qx::cli
