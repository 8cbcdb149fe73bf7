#pragma once
// Bound radio button: the chosen button of a point writes its own TrueValue. It becomes
// checked by the user's click or by an arriving value alike (toggled(true)); clicked() is
// the user's alone.
#include "brannix/qcomponentcommon.h"

#include <QRadioButton>

class TQRadioButton : public QRadioButton, public IDBPointObserver, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(ushort DbId READ DbId WRITE setDbId)
    Q_PROPERTY(QColor AlarmColor READ AlarmColor WRITE setAlarmColor)
    Q_PROPERTY(bool ConfirmChanges READ ConfirmChanges WRITE setConfirmChanges)
    Q_PROPERTY(QString FieldName READ FieldName WRITE setFieldName)
    Q_PROPERTY(QString TrueValue READ TrueValue WRITE setTrueValue)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)
    Q_PROPERTY(bool UseDatabase READ UseDatabase WRITE setUseDatabase)

public:
    explicit TQRadioButton(QWidget* parent = nullptr);
    ~TQRadioButton() override;

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
    int GetHelpContextVESKA() const override { return common_.helpContext; }
    void setHelpContextVESKA(int v) { common_.helpContext = v; }
    bool UseDatabase() const { return common_.useDatabase; }
    void setUseDatabase(bool v) { common_.useDatabase = v; }

    QColor Color() const { return common_.Color(); }
    void SetColor(const QColor& c) { common_.SetColor(c); }
    TQComponentCommon& Common() { return common_; }
    // Sets the state, also to "not chosen" within an exclusive set of buttons.
    void SetChecked(bool on);

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
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    TQComponentCommon common_;
    QString trueValue_ = QStringLiteral("True");
    bool oldState_ = false;
};
