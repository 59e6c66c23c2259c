#pragma once

#include "base/system_info.h"

#include <string>

namespace qx::test {

// The operating system's answers, as the test sets them.
class FixedSystemInfo : public SystemInfo {
public:
    std::string language() const override { return languageCode; }
    std::string listSeparator() const override { return separator; }
    std::string shortDateFormat() const override { return dateFormat; }
    std::string documentsFolder() const override { return documents; }
    ScreenRect workArea() const override { return area; }
    std::string backupsFolder() const override { return backups; }
    std::string recoveryFolder() const override { return recovery; }

    std::string languageCode = "en";
    std::string separator = ",";
    std::string dateFormat = "M/d/yyyy";
    std::string documents = "/home/user/Documents";
    ScreenRect area{0, 0, 1024, 768};
    std::string backups;
    std::string recovery;
};

} // namespace qx::test
