#pragma once

#include <QString>

#include <string>

namespace qx {

// Texts cross the widget boundary here: core keeps bytes in the code page of the active text
// table ("windows-1252" or "Shift_JIS"), widgets want QString.
class CodePageText {
public:
    explicit CodePageText(const char* codePage = "windows-1252");

    QString toQString(const std::string& bytes) const;
    std::string fromQString(const QString& text) const;
    const char* codePage() const { return m_codePage; }

private:
    const char* m_codePage;
};

} // namespace qx
