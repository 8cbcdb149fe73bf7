#pragma once
// Bound drop-down list: its point holds the index of the chosen item.
#include "brannix/qcomponentcommon.h"

#include <QComboBox>

class TQComboBox : public QComboBox, public IDBPointObserver, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(ushort DbId READ DbId WRITE setDbId)
    Q_PROPERTY(QColor AlarmColor READ AlarmColor WRITE setAlarmColor)
    Q_PROPERTY(bool ConfirmChanges READ ConfirmChanges WRITE setConfirmChanges)
    Q_PROPERTY(bool Required READ Required WRITE setRequired)
    Q_PROPERTY(QString FieldName READ FieldName WRITE setFieldName)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)
    Q_PROPERTY(bool UseDatabase READ UseDatabase WRITE setUseDatabase)

public:
    explicit TQComboBox(QWidget* parent = nullptr);
    ~TQComboBox() override;

    TDbId DbId() const { return common_.dbId; }
    void setDbId(TDbId v) { common_.SetDbId(v); }
    QColor AlarmColor() const { return common_.alarmColor; }
    void setAlarmColor(const QColor& c) { common_.alarmColor = c; }
    bool ConfirmChanges() const { return common_.confirmChanges; }
    void setConfirmChanges(bool v) { common_.confirmChanges = v; }
    bool Required() const { return required_; }
    void setRequired(bool v) { required_ = v; }
    QString FieldName() const { return common_.fieldName; }
    void setFieldName(const QString& v) { common_.fieldName = v; }
    int GetHelpContextVESKA() const override { return common_.helpContext; }
    void setHelpContextVESKA(int v) { common_.helpContext = v; }
    bool UseDatabase() const { return common_.useDatabase; }
    void setUseDatabase(bool v) { common_.useDatabase = v; }

    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int i) { setCurrentIndex(i); }
    // Selects the item whose text equals `text`, for a page that shows its point's value by
    // item text rather than by index. No such item: nothing is selected, and that counts as a
    // value the box cannot show, not as a missing choice of the user.
    void SelectItemText(const QString& text);
    QColor Color() const { return common_.Color(); }
    void SetColor(const QColor& c) { common_.SetColor(c); }
    TQComponentCommon& Common() { return common_; }

    virtual bool Modified() const { return currentIndex() != oldIndex_; }
    virtual bool DoEdits();
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
    void focusOutEvent(QFocusEvent* e) override;

private:
    TQComponentCommon common_;
    bool required_ = false;
    int oldIndex_ = -1;
    // The point's value names no item: nothing is shown, and that is no missing choice.
    bool unshownValue_ = false;
};
