// The communication dialog: port, baud rate, data bits, stop bits and parity
// of the line to the lap-counting hardware, each chosen from a list or typed.
// A stored text is matched against its list without regard to letter case;
// a text no item matches opens as an empty field. Typed text the settings
// file cannot hold is refused with a message.
#pragma once

#include "config/settingsui.h"

#include <QDialog>

#include <string>

class QComboBox;

class CommDialog : public QDialog {
    Q_OBJECT
public:
    struct Values {
        std::string commPort;
        std::string baudRate;
        std::string dataBits;
        std::string stopBits;
        std::string parity;
    };

    explicit CommDialog(OkButtonRole role, QWidget *parent = nullptr);

    void setValues(const Values &values);
    /// The five fields as they stand, chosen or typed.
    Values values() const;

private:
    QComboBox *port_;
    QComboBox *baudRate_;
    QComboBox *dataBits_;
    QComboBox *stopBits_;
    QComboBox *parity_;
};
