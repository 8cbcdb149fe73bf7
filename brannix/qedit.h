#pragma once
// The bound single-line edit: shows its point's value, filters keys by DataType, validates
// (required, number, range) and takes part in the edit/post protocol.
#include "brannix/qcomponentcommon.h"

#include <QLineEdit>

#include <optional>

class TQEdit : public QLineEdit, public IDBPointObserver, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(Brannix::TDataType DataType READ DataType WRITE setDataType)
    Q_PROPERTY(ushort DbId READ DbId WRITE setDbId)
    Q_PROPERTY(QColor AlarmColor READ AlarmColor WRITE setAlarmColor)
    Q_PROPERTY(bool ConfirmChanges READ ConfirmChanges WRITE setConfirmChanges)
    Q_PROPERTY(bool Required READ Required WRITE setRequired)
    Q_PROPERTY(bool RangeEdit READ RangeEdit WRITE setRangeEdit)
    Q_PROPERTY(float RangeLow READ RangeLow WRITE setRangeLow)
    Q_PROPERTY(float RangeHigh READ RangeHigh WRITE setRangeHigh)
    Q_PROPERTY(QString FieldName READ FieldName WRITE setFieldName)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)
    Q_PROPERTY(bool UseDatabase READ UseDatabase WRITE setUseDatabase)

public:
    explicit TQEdit(QWidget* parent = nullptr);
    ~TQEdit() override;

    // Published properties.
    TDataType DataType() const { return dataType_; }
    void setDataType(TDataType v);
    void SetDataType(TDataType v) { setDataType(v); }
    TDbId DbId() const { return common_.dbId; }
    void setDbId(TDbId v) { common_.SetDbId(v); }
    QColor AlarmColor() const { return common_.alarmColor; }
    void setAlarmColor(const QColor& c) { common_.alarmColor = c; }
    bool ConfirmChanges() const { return common_.confirmChanges; }
    void setConfirmChanges(bool v) { common_.confirmChanges = v; }
    bool Required() const { return required_; }
    void setRequired(bool v) { required_ = v; }
    bool RangeEdit() const { return rangeEdit_; }
    void setRangeEdit(bool v);
    void SetRangeEdit(bool v) { setRangeEdit(v); }
    float RangeLow() const { return rangeLow_; }
    void setRangeLow(float v) { rangeLow_ = v; }
    float RangeHigh() const { return rangeHigh_; }
    void setRangeHigh(float v) { rangeHigh_ = v; }
    QString FieldName() const { return common_.fieldName; }
    void setFieldName(const QString& v) { common_.fieldName = v; }
    int GetHelpContextVESKA() const override { return common_.helpContext; }
    void setHelpContextVESKA(int v) { common_.helpContext = v; }
    bool UseDatabase() const { return common_.useDatabase; }
    void setUseDatabase(bool v) { common_.useDatabase = v; }

    // The background colour (the alarm rule moves it).
    QColor Color() const { return common_.Color(); }
    void SetColor(const QColor& c) { common_.SetColor(c); }
    TQComponentCommon& Common() { return common_; }
    const TQComponentCommon& Common() const { return common_; }
    QString OldValue() const { return oldValue_; }

    // True when the text differs from the text saved by QM_GET.
    virtual bool Modified() const;
    // Validates the text; true when it is rejected (the user has been told why).
    virtual bool DoEdits();
    // The name a refusal on the write road gives the field, as the user sees it on the page:
    // its accessible name (the caption beside a box that has no label of its own), else its
    // confirmation name, else its hint. Never an object name, which the user never sees.
    QString RefusalName() const;
    virtual void ReportError(const QString& msg);
    virtual bool ReportWarning(const QString& msg);
    virtual void FireBeforePostEvent(bool& CanPost);

    void Respond(const char* value) override;

    // Control protocol.
    virtual void Dispatch(TMessage& m);

Q_SIGNALS:
    void BeforePost(bool& CanPost);
    void OnDBPointValueChanged(const QString& value, bool& DoDefault);
    void AfterRegisterDatabase();
    void OnPutToDatabase(bool& DoDefault, char z);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

    virtual void Get(TQMMOVEVAL m);
    virtual void Put(TQMMOVEVAL m);
    virtual void Edit(TQMMOVEVAL m);
    virtual void Reset(TQMMOVEVAL m);
    virtual void DoBeforePost(TQMMOVEVAL m);
    virtual void ReportChanges(TMessage& m);
    virtual void RegisterWithDatabase(TQMDATABASE m);
    // The label of the confirmation row's first column.
    virtual QString ConfirmationName() const { return common_.fieldName; }

    // True when the key filter lets the character through for the current DataType.
    bool Accepts(QChar c) const;

    TQComponentCommon common_;

private:
    TDataType dataType_ = dtText;
    bool required_ = false;
    bool rangeEdit_ = false;
    float rangeLow_ = 0;
    float rangeHigh_ = 0;
    QString oldValue_;
    // Set while the edits are posted: a refusal then names the field, since the write it stops
    // may have been started far from the field.
    bool posting_ = false;
    // The text shown when the last value from the unit was longer than the box holds.
    std::optional<QString> cutShown_;
};

// True when a focus change for this reason is the user leaving a control (validate then);
// a window losing activation or a popup opening is not.
bool BrannixValidatesOnExit(Qt::FocusReason reason);
