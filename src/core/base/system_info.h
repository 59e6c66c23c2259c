#pragma once

#include <string>

namespace qx {

// A rectangle of the desktop in pixels.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    int right() const { return left + width; }
    int bottom() const { return top + height; }
    bool operator==(const ScreenRect&) const = default;
};

// What the editor asks of the operating system's regional and desktop settings.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;
    // ISO 639 code of the system's default language, such as "en" or "ja".
    virtual std::string language() const = 0;
    // The separator of list items in the user's locale, such as "," or ";".
    virtual std::string listSeparator() const = 0;
    // The user's short date pattern with d, M and y letters, such as "M/d/yyyy".
    virtual std::string shortDateFormat() const = 0;
    // The user's documents folder; empty when there is none.
    virtual std::string documentsFolder() const = 0;
    // The desktop minus the task bar.
    virtual ScreenRect workArea() const = 0;
    // Where the images read from a transceiver are kept, and where the recovery copies of
    // unsaved documents go; empty when the platform has no such place.
    virtual std::string backupsFolder() const { return {}; }
    virtual std::string recoveryFolder() const { return {}; }
};

} // namespace qx
