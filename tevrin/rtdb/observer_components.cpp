#include "tevrin/rtdb/observer_components.h"

QModbusObserver::QModbusObserver(QObject* owner) : QObject(owner) {}

void QModbusObserver::Respond(TMBGProfile profile, int index, const QString& propertyId, int value)
{
    emit OnMBChanged(profile, index, propertyId, value);
}

TQSequencerObserver::TQSequencerObserver(QObject* owner) : QObject(owner) {}

void TQSequencerObserver::Respond(int parent_index, int index, const QString& propertyId, int value)
{
    emit OnSEChanged(parent_index, index, propertyId, value);
}

TQStructOberver::TQStructOberver(QObject* owner) : QObject(owner) {}

void TQStructOberver::Respond(int id, void* block) { emit OnSChanged(id, block); }
