#pragma once

#include "base/system_info.h"

#include <functional>

namespace qx {

// Regional settings from QLocale, the documents folder from QStandardPaths. The work area is
// the GUI's business: it passes a source (the primary screen's available geometry); without one
// the area is 1024 x 768.
class QtSystemInfo : public SystemInfo {
public:
    using WorkAreaSource = std::function<ScreenRect()>;

    explicit QtSystemInfo(WorkAreaSource workArea = {});

    std::string language() const override;
    std::string listSeparator() const override;
    std::string shortDateFormat() const override;
    std::string documentsFolder() const override;
    ScreenRect workArea() const override;
    std::string backupsFolder() const override;
    std::string recoveryFolder() const override;

private:
    WorkAreaSource m_workArea;
};

} // namespace qx
