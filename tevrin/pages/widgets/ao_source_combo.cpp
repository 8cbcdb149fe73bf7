#include "tevrin/pages/widgets/ao_source_combo.h"

#include "tevrin/rtdb/analog_output_collection.h"
#include "tevrin/rtdb/database.h"

TAOSourceCombo::TAOSourceCombo(QWidget* parent) : TQComboBox(parent)
{
    connect(this, &TQComboBox::OnDBPointValueChanged, this, &TAOSourceCombo::Follow);
}

void TAOSourceCombo::Fill()
{
    const int chosen = ChosenDbId();
    const AnalogOutputCollection* list = AnalogOutputCollection::Instance();
    // Adding the first item would select it: the selection is set once the list is complete.
    const QSignalBlocker quiet(this);
    clear();
    for (int i = 0; i < list->Count(); ++i) addItem(list->At(i)->name, list->At(i)->DbId);
    setCurrentIndex(chosen >= 0 ? list->PositionOf(static_cast<int16_t>(chosen)) : -1);
}

int TAOSourceCombo::ChosenDbId() const
{
    const int index = currentIndex();
    if (index < 0 || index >= count()) return -1;
    bool ok = false;
    const int id = itemData(index).toInt(&ok);
    return ok ? id : -1;
}

bool TAOSourceCombo::StoreChoice()
{
    if (DbId() == 0 || ChosenDbId() < 0 || !DataBase::Exists()) return false;
    try {
        DataBase::Instance()->SetPointText(DbId(), std::to_string(currentIndex()));
    } catch (...) {
        return false;
    }
    return true;
}

void TAOSourceCombo::Follow(const QString& value, bool& DoDefault)
{
    if (value.isEmpty()) return;
    DoDefault = false;
    bool ok = false;
    const int id = value.trimmed().toInt(&ok);
    const int position = ok ? AnalogOutputCollection::Instance()->PositionOf(static_cast<int16_t>(id)) : -1;
    unknown_ = position < 0;
    setCurrentIndex(position);
    setPlaceholderText(unknown_ ? QStringLiteral("(%1)").arg(value.trimmed()) : QString());
}
