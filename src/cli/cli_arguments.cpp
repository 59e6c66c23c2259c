#include "cli_arguments.h"

#include "cli_command.h"

#include <algorithm>
#include <cstdio>

namespace qx::cli {

std::optional<std::string> CommandArguments::split(const std::vector<std::string>& args,
                                                   const ArgumentRules& rules,
                                                   CommandArguments& out) {
    out = {};
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a == "-" || a.empty() || a[0] != '-') {
            out.m_positional.push_back(a);
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = a;
        std::optional<std::string> value;
        if (const std::size_t equals = a.find('='); a.rfind("--", 0) == 0 && equals != a.npos) {
            name = a.substr(0, equals);
            value = a.substr(equals + 1);
        }
        const auto rule = std::find_if(rules.options.begin(), rules.options.end(),
                                       [&](const OptionRule& r) { return name == r.name; });
        if (rule == rules.options.end()) {
            return "unknown option " + a + " (put -- before arguments that start with -)";
        }
        if (out.has(name)) {
            return name + " is given twice";
        }
        if (!rule->takesValue) {
            if (value) {
                return name + " takes no value";
            }
            out.m_options.emplace_back(name, std::string());
            continue;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                return name + " needs a value";
            }
            value = args[++i];
        }
        if (value->empty()) {
            return name + " needs a value";
        }
        if ((*value)[0] == '-' && *value != "-") {
            return name + " needs a value, not the option-like \"" + *value +
                   "\" (write a path that starts with - as ./" + *value + ")";
        }
        out.m_options.emplace_back(name, *value);
    }
    const std::size_t count = out.m_positional.size();
    if (count < rules.minPositional) {
        return "too few arguments";
    }
    if (count > rules.maxPositional) {
        return "too many arguments (unexpected \"" + out.m_positional[rules.maxPositional] + "\")";
    }
    return std::nullopt;
}

std::optional<CommandArguments> CommandArguments::parse(const std::vector<std::string>& args,
                                                        const ArgumentRules& rules) {
    CommandArguments out;
    if (const auto problem = split(args, rules, out)) {
        usageError(rules.usage, *problem);
        return std::nullopt;
    }
    return out;
}

bool CommandArguments::has(std::string_view option) const {
    return std::any_of(m_options.begin(), m_options.end(),
                       [&](const auto& o) { return o.first == option; });
}

std::optional<std::string> CommandArguments::value(std::string_view option) const {
    for (const auto& [name, value] : m_options) {
        if (name == option) {
            return value;
        }
    }
    return std::nullopt;
}

int usageError(const char* usage, const std::string& problem) {
    std::fprintf(stderr, "qx5130-cli: %s\nusage: qx5130-cli %s\n", problem.c_str(), usage);
    return kExitUsage;
}

} // namespace qx::cli
