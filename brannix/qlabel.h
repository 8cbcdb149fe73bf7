#pragma once
// Bound label: its caption is the point's value. Shows only; never writes.
#include "brannix/qcomponentcommon.h"

#include <QLabel>

class TQLabel : public QLabel, public IDBPointObserver, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(Brannix::TUnitType UnitType READ UnitType WRITE setUnitType)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)
    Q_PROPERTY(ushort DbId READ DbId WRITE setDbId)
    Q_PROPERTY(bool UseDatabase READ UseDatabase WRITE setUseDatabase)

public:
    explicit TQLabel(QWidget* parent = nullptr);
    ~TQLabel() override;

    TUnitType UnitType() const { return unitType_; }
    void setUnitType(TUnitType v) { unitType_ = v; }
    int GetHelpContextVESKA() const override { return common_.helpContext; }
    void setHelpContextVESKA(int v) { common_.helpContext = v; }
    TDbId DbId() const { return common_.dbId; }
    void setDbId(TDbId v) { common_.SetDbId(v); }
    bool UseDatabase() const { return common_.useDatabase; }
    void setUseDatabase(bool v) { common_.useDatabase = v; }

    QColor Color() const { return common_.Color(); }
    void SetColor(const QColor& c) { common_.SetColor(c); }
    TQComponentCommon& Common() { return common_; }

    void Respond(const char* value) override;
    virtual void Dispatch(TMessage& m);

Q_SIGNALS:
    void OnDBPointValueChanged(const QString& value, bool& DoDefault);
    void AfterRegisterDatabase();

protected:
    bool event(QEvent* e) override;

private:
    TQComponentCommon common_;
    TUnitType unitType_ = utNone;
};
