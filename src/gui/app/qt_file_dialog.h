#pragma once

#include "base/file_dialog.h"
#include "code_page_text.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace qx {

// The standard file dialogs, owned by the main window. Labels arrive in the table's code page,
// paths in the platform's own encoding.
class QtFileDialog : public FileDialog {
public:
    explicit QtFileDialog(const CodePageText& codec, QWidget* owner = nullptr);

    void setOwner(QWidget* owner) { m_owner = owner; }

    std::optional<std::string> askOpen(const FileDialogRequest& request) override;
    std::optional<std::string> askSave(const FileDialogRequest& request) override;

    // "Label (*.a)|*.a|Other|*.b;*.c" as the dialog's name filters; each label ends with its
    // own patterns so that what the list shows is what it filters.
    QStringList nameFilters(const std::string& filter) const;

private:
    std::optional<std::string> ask(const FileDialogRequest& request, bool save);

    CodePageText m_codec;
    QPointer<QWidget> m_owner;
};

} // namespace qx
