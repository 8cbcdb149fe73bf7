#pragma once
// The proxy dialog: the SOCKS server through which the TCP connection may go.
#include <QDialog>
#include <memory>

namespace Ui {
class ProxyDialogForm;
}

namespace pollard {

class CommSettings;

class ProxyDialog : public QDialog {
    Q_OBJECT
public:
    explicit ProxyDialog(QWidget* parent = nullptr);
    ~ProxyDialog() override;

    // Fills the fields from the settings (the list index is the SOCKS version less one).
    void Fill(const CommSettings& settings);
    // Writes the fields back: address, port, user name, password and version.
    void Apply(CommSettings& settings) const;

    Ui::ProxyDialogForm& Form() { return *ui_; }

private:
    std::unique_ptr<Ui::ProxyDialogForm> ui_;
};

// Shows the dialog modally, filled from the settings; OK writes it back, Cancel changes
// nothing. True after OK.
bool EditProxySettings(QWidget* parent, CommSettings& settings);

}  // namespace pollard
