#pragma once

#include <QDialog>
#include <QFont>
#include <QStringList>

#include <vector>

class QPushButton;
class QTreeWidget;

namespace qx {

// File > Radio Backups: the kept images, newest first, one row each (date, comment,
// destination, size); Open takes the selected row.
class BackupsDialog : public QDialog {
    Q_OBJECT
public:
    struct Texts {
        QString caption;
        QStringList columns; // date, comment, destination, size
        QString open;
        QString cancel;
    };

    BackupsDialog(const Texts& texts, const QFont& font, const std::vector<QStringList>& rows,
                  QWidget* parent = nullptr);

    // The chosen row; -1 when none is selected.
    int chosenRow() const;
    QTreeWidget* list() const { return m_list; }
    QPushButton* openButton() const { return m_open; }

private:
    QTreeWidget* m_list = nullptr;
    QPushButton* m_open = nullptr;
};

} // namespace qx
