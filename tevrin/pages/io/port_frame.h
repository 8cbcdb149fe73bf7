#pragma once
// One serial port of the analyzer: baud rate, data bits, parity, stop bits and the (hidden)
// envelope, each a bound control on its own point. The ports page shows four of them, the
// factory page one for the sensor port.
//
// Baud rate, parity and envelope hold the item index in their point. Data bits and stop bits
// hold the number itself: an arriving "7" selects the item "7", and a chosen "2" is written as
// the text "2".
#include <QFrame>
#include <QStringList>

#include <array>

class QGroupBox;
class TQComboBox;
class TQRadioGroup;

class TfraPort : public QFrame {
    Q_OBJECT
public:
    // The five points in the order baud rate, data bits, parity, stop bits, envelope.
    using PortIds = std::array<int, 5>;

    explicit TfraPort(QWidget* owner);

    // The port's number (0..3) as its owner counts its ports.
    int PortNumber() const { return portNumber_; }
    void SetPortNumber(int number) { portNumber_ = number; }

    // Gives the controls their points; `bound` tells which of the five are bound (a control
    // that is not bound only carries the number).
    void SetPoints(const PortIds& ids, const std::array<bool, 5>& bound);
    // Replaces the baud rate items (one port's hardware offers other speeds); the point still
    // holds the index.
    void SetBaudItems(const QStringList& items);
    // Leaves only the baud rate editable.
    void LimitToBaudRate();

    TQComboBox* cbBaudRate() const { return cbBaudRate_; }
    TQComboBox* cbDataBits() const { return cbDataBits_; }
    TQComboBox* cbParity() const { return cbParity_; }
    TQComboBox* cbStopBits() const { return cbStopBits_; }
    TQRadioGroup* rgEnvelope() const { return rgEnvelope_; }

    static const QStringList& BaudItems();

private:
    // Data bits and stop bits show and store their item's text, not its index.
    void ShowAndStoreByText(TQComboBox* combo);

    int portNumber_ = 0;
    QGroupBox* group_ = nullptr;
    TQComboBox* cbBaudRate_ = nullptr;
    TQComboBox* cbDataBits_ = nullptr;
    TQComboBox* cbParity_ = nullptr;
    TQComboBox* cbStopBits_ = nullptr;
    TQRadioGroup* rgEnvelope_ = nullptr;
};
