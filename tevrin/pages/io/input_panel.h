#pragma once
// One discrete input of the Inputs-DRY and Inputs-WET pages: enable, alarm, polarity, name, the
// runs it triggers (one box a bit of its Triggers point) and the relays and solenoids it drives
// (one box a bit of its Actions point). Made from the tables below, four times a page.
#include <QGroupBox>
#include <QString>

#include <array>
#include <vector>

class QLabel;
class TQCheckBoxBase;
class TQCheckBox;
class TQCheckBox32;
class TQLabeledEdit;
class TQRadioButton;

// The six points of one input.
struct DiscreteInputPoints {
    int enable, polarity, audit, name, actions, triggers;
};
// Inputs 1 to 8 (index 0 to 7). The Triggers point of input 4 is 458.
extern const std::array<DiscreteInputPoints, 8> kDiscreteInputs;

// A box of the "Run Selector" group: the bit of the Triggers point it shows.
struct RunSelectorBit {
    int bit;
    const char* caption;
    const char* stem;   // the box is named chkRunSelector<stem>_<input>
};
extern const std::array<RunSelectorBit, 23> kRunSelectorBits;

class TInputPanel : public QGroupBox {
    Q_OBJECT
public:
    // `input` 1..8; `place` 1..4, the panel's place on its page (it names the name edit).
    TInputPanel(int input, int place, QWidget* parent);

    int Input() const { return input_; }
    const DiscreteInputPoints& Points() const { return kDiscreteInputs[static_cast<size_t>(input_ - 1)]; }
    // The points in the order the page registers them: Name, Enable, Audit, Polarity,
    // Triggers, Actions.
    std::vector<int> RegisteredPoints() const;

    TQCheckBox* Enable() const { return enable_; }
    TQCheckBox* Alarm() const { return alarm_; }
    TQRadioButton* PolarityOn() const { return polarityOn_; }
    TQRadioButton* PolarityOff() const { return polarityOff_; }
    TQLabeledEdit* NameEdit() const { return name_; }
    const std::vector<TQCheckBox32*>& RunSelectors() const { return runSelectors_; }
    const std::vector<TQCheckBox*>& Actions() const { return actions_; }
    QGroupBox* PolarityGroup() const { return polarityGroup_; }
    QGroupBox* RunSelectorGroup() const { return runSelectorGroup_; }
    QGroupBox* ActionsGroup() const { return actionsGroup_; }

    // Greys the input's settings while the input is enabled (the arriving Enable value), and
    // makes them editable and black while it is not.
    void ShowEnabled(bool enabled);
    // Shows the run-selector boxes of the streams that exist (`streams` = count less one).
    void ShowStreams(int streams);

signals:
    // The user's clicks, for the page to write under its guards.
    void EnableClicked(TQCheckBox* box);
    void PolarityClicked(TQRadioButton* button, bool on);
    void BitClicked(int dbId, int bit, bool set);

private:
    int input_;
    TQCheckBox* enable_ = nullptr;
    TQCheckBox* alarm_ = nullptr;
    TQRadioButton* polarityOn_ = nullptr;
    TQRadioButton* polarityOff_ = nullptr;
    TQLabeledEdit* name_ = nullptr;
    QGroupBox* polarityGroup_ = nullptr;
    QGroupBox* runSelectorGroup_ = nullptr;
    QGroupBox* actionsGroup_ = nullptr;
    std::vector<TQCheckBox32*> runSelectors_;
    std::vector<TQCheckBox*> actions_;
};
