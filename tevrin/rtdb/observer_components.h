#pragma once
// Non-visual components through which a form hears the configuration models: the form
// creates one, connects its signal and attaches it to the model (ModbusList::Attach,
// Sequencer::Attach, TimerXManager::Attach). Each turns the model's notice into its signal,
// synchronously and with the same values in the same order; with nothing connected a notice
// is ignored.
//
// Notices run inside the model's Notify on the GUI thread: connect directly (the default
// for objects of the GUI thread) and don't attach or detach observers of the same model
// from a handler.
#include "tevrin/rtdb/mbpublisher.h"
#include "tevrin/rtdb/spublisher.h"

#include <QObject>
#include <QString>

// Observer of the sequencer page's editing notices.
class ISEObserver {
public:
    virtual ~ISEObserver() = default;
    virtual void Respond(int parent_index, int index, const QString& propertyId, int value) = 0;
};

// The Modbus map: loads of the whole map arrive as (0, 1, "loadFromUnit", 0).
class QModbusObserver : public QObject, public IMBObserver {
    Q_OBJECT
public:
    explicit QModbusObserver(QObject* owner = nullptr);
    void Respond(TMBGProfile profile, int index, const QString& propertyId, int value) override;

signals:
    void OnMBChanged(TMBGProfile profile, int index, const QString& propertyId, int value);
};

// Editing notices of the sequencer page.
class TQSequencerObserver : public QObject, public ISEObserver {
    Q_OBJECT
public:
    explicit TQSequencerObserver(QObject* owner = nullptr);
    void Respond(int parent_index, int index, const QString& propertyId, int value) override;

signals:
    void OnSEChanged(int parent_index, int index, const QString& propertyId, int value);
};

// The sequencer and timer blocks: (0, pointer to the block image) after every (re)load.
class TQStructOberver : public QObject, public ISObserver {
    Q_OBJECT
public:
    explicit TQStructOberver(QObject* owner = nullptr);
    void Respond(int id, void* block) override;

signals:
    void OnSChanged(int type, void* st);
};
