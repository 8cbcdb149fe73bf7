#pragma once
// The drop-down that picks the point driving an analog output, shared by the Outputs page (the
// six analog-output parameters) and the Stream page (the analog-output overrides of every run
// kind). Its items are the entries of the analog-output source list; the point it is bound to
// holds the DbId of the chosen entry, and the database turns the item position the combo hands
// it back into that DbId.
//
// A value that names no entry of the list selects nothing (it is not taken for an item
// number), so that a write hands nothing to the database and the analyzer keeps the value.
#include "brannix/qcombobox.h"

class TAOSourceCombo : public TQComboBox {
    Q_OBJECT
public:
    explicit TAOSourceCombo(QWidget* parent = nullptr);

    // Clears the items and adds every entry of the source list in order. The entry chosen
    // before stays chosen; with none chosen before, none is chosen after.
    void Fill();

    // The DbId of the entry chosen; -1 with no valid selection.
    int ChosenDbId() const;

    // Hands the chosen position to the database as the point's edited value. Nothing, and
    // false, for a combo bound to no point (DbId 0) or with no valid selection.
    bool StoreChoice();

    // The value that arrived last names no entry of the list.
    bool ShowsUnknownValue() const { return unknown_; }

private:
    void Follow(const QString& value, bool& DoDefault);

    bool unknown_ = false;
};
