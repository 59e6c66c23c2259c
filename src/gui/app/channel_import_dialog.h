#pragma once

#include <QDialog>
#include <QFont>

#include <optional>

class QRadioButton;
class QSpinBox;

namespace qx {

// File > Import Channels: whether the channels go where the file's Location column says, or
// into the empty memory channels from a chosen one on.
class ChannelImportDialog : public QDialog {
    Q_OBJECT
public:
    struct Texts {
        QString caption;
        QString atLocation;
        QString append;
        QString ok;
        QString cancel;
    };

    // Without a Location column only appending is offered.
    ChannelImportDialog(const Texts& texts, const QFont& font, bool hasLocation, int from,
                        int lastChannel, QWidget* parent = nullptr);

    // The first channel to append from, or nothing for the Location column.
    std::optional<int> appendFrom() const;

    QRadioButton* locationButton() const { return m_location; }
    QRadioButton* appendButton() const { return m_append; }
    QSpinBox* fromBox() const { return m_from; }

private:
    QRadioButton* m_location = nullptr;
    QRadioButton* m_append = nullptr;
    QSpinBox* m_from = nullptr;
};

} // namespace qx
