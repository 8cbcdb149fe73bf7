#pragma once
// Bound check boxes: a true/false point, or one bit of a 16-bit (TQCheckBox) or 32-bit
// (TQCheckBox32) point. A bit is written as the text of its own value to set it, or of
// the full-width mask without it to clear it, so the other bits of the word stay.
// Every change of the checked state, also one made by an arriving value or by code, emits
// toggled(); clicked() is the user's alone. A page that follows the box's state connects to
// toggled, and does anything that writes to the analyzer on clicked only.
#include "brannix/qcomponentcommon.h"

#include <QCheckBox>

class TQCheckBoxBase : public QCheckBox, public IDBPointObserver, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(ushort DbId READ DbId WRITE setDbId)
    Q_PROPERTY(QColor AlarmColor READ AlarmColor WRITE setAlarmColor)
    Q_PROPERTY(bool ConfirmChanges READ ConfirmChanges WRITE setConfirmChanges)
    Q_PROPERTY(QString FieldName READ FieldName WRITE setFieldName)
    Q_PROPERTY(QString TrueValue READ TrueValue WRITE setTrueValue)
    Q_PROPERTY(Brannix::TBitNum WatchBitNumber READ WatchBitNumber WRITE setWatchBitNumber)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)
    Q_PROPERTY(bool UseDatabase READ UseDatabase WRITE setUseDatabase)

public:
    ~TQCheckBoxBase() override;

    TDbId DbId() const { return common_.dbId; }
    void setDbId(TDbId v) { common_.SetDbId(v); }
    QColor AlarmColor() const { return common_.alarmColor; }
    void setAlarmColor(const QColor& c) { common_.alarmColor = c; }
    bool ConfirmChanges() const { return common_.confirmChanges; }
    void setConfirmChanges(bool v) { common_.confirmChanges = v; }
    QString FieldName() const { return common_.fieldName; }
    void setFieldName(const QString& v) { common_.fieldName = v; }
    QString TrueValue() const { return trueValue_; }
    void setTrueValue(const QString& v) { trueValue_ = v; }
    TBitNum WatchBitNumber() const { return watchBit_; }
    void setWatchBitNumber(TBitNum v) { watchBit_ = v; }
    int GetHelpContextVESKA() const override { return common_.helpContext; }
    void setHelpContextVESKA(int v) { common_.helpContext = v; }
    bool UseDatabase() const { return common_.useDatabase; }
    void setUseDatabase(bool v) { common_.useDatabase = v; }

    QColor Color() const { return common_.Color(); }
    void SetColor(const QColor& c) { common_.SetColor(c); }
    TQComponentCommon& Common() { return common_; }
    int Width() const { return width_; }
    // True while the box shows no real value of its bit (a value that was not a number, or
    // a bit beyond the box's width): it then writes nothing until the user sets it.
    bool ValueUnknown() const { return unknown_; }
    // The text QM_PUT hands to the database for the current state.
    QString PutTextForState() const;

    virtual bool Modified() const { return isChecked() != oldState_; }
    virtual void ReportError(const QString& msg) { common_.ReportError(msg); }
    virtual bool ReportWarning(const QString& msg) { return common_.ReportWarning(msg); }
    virtual void FireBeforePostEvent(bool& CanPost) { CanPost = common_.FireBeforePostEvent(); }

    void Respond(const char* value) override;
    virtual void Dispatch(TMessage& m);

Q_SIGNALS:
    void BeforePost(bool& CanPost);
    void OnDBPointValueChanged(const QString& value, bool& DoDefault);
    void AfterRegisterDatabase();
    void OnPutToDatabase(bool& DoDefault, char z);

protected:
    TQCheckBoxBase(int width, QWidget* parent);
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    int width_;
    TQComponentCommon common_;
    QString trueValue_ = QStringLiteral("True");
    TBitNum watchBit_ = bnNone;
    bool oldState_ = false;
    bool unknown_ = false;
};

// Bits 0 to 15 of a 16-bit value.
class TQCheckBox : public TQCheckBoxBase {
    Q_OBJECT
public:
    explicit TQCheckBox(QWidget* parent = nullptr) : TQCheckBoxBase(16, parent) {}
};

// Bits 0 to 31 of a 32-bit value.
class TQCheckBox32 : public TQCheckBoxBase {
    Q_OBJECT
public:
    explicit TQCheckBox32(QWidget* parent = nullptr) : TQCheckBoxBase(32, parent) {}
};
