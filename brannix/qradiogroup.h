#pragma once
// Bound group of radio buttons: its point holds the index of the chosen button.
#include "brannix/qcomponentcommon.h"

#include <QGroupBox>
#include <QStringList>
#include <vector>

class QButtonGroup;
class QRadioButton;

class TQRadioGroup : public QGroupBox, public IDBPointObserver, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(ushort DbId READ DbId WRITE setDbId)
    Q_PROPERTY(QColor AlarmColor READ AlarmColor WRITE setAlarmColor)
    Q_PROPERTY(bool ConfirmChanges READ ConfirmChanges WRITE setConfirmChanges)
    Q_PROPERTY(QString FieldName READ FieldName WRITE setFieldName)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)
    Q_PROPERTY(bool UseDatabase READ UseDatabase WRITE setUseDatabase)
    Q_PROPERTY(QStringList Items READ Items WRITE setItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE setItemIndex NOTIFY ItemIndexChanged)

public:
    explicit TQRadioGroup(QWidget* parent = nullptr);
    ~TQRadioGroup() override;

    TDbId DbId() const { return common_.dbId; }
    void setDbId(TDbId v) { common_.SetDbId(v); }
    QColor AlarmColor() const { return common_.alarmColor; }
    void setAlarmColor(const QColor& c) { common_.alarmColor = c; }
    bool ConfirmChanges() const { return common_.confirmChanges; }
    void setConfirmChanges(bool v) { common_.confirmChanges = v; }
    QString FieldName() const { return common_.fieldName; }
    void setFieldName(const QString& v) { common_.fieldName = v; }
    int GetHelpContextVESKA() const override { return common_.helpContext; }
    void setHelpContextVESKA(int v) { common_.helpContext = v; }
    bool UseDatabase() const { return common_.useDatabase; }
    void setUseDatabase(bool v) { common_.useDatabase = v; }

    // The buttons' captions, one button each; ItemIndex -1 = none chosen.
    QStringList Items() const { return items_; }
    void setItems(const QStringList& items);
    int ItemIndex() const;
    void setItemIndex(int index);
    QRadioButton* Button(int index) const;

    QColor Color() const { return common_.Color(); }
    void SetColor(const QColor& c) { common_.SetColor(c); }
    TQComponentCommon& Common() { return common_; }

    virtual bool Modified() const { return ItemIndex() != oldIndex_; }
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
    // The chosen button changed (by the user, an arriving value or code).
    void ItemIndexChanged(int index);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QString CaptionOf(int index) const;
    TQComponentCommon common_;
    QStringList items_;
    std::vector<QRadioButton*> buttons_;
    QButtonGroup* group_;
    int oldIndex_ = -1;
    int lastIndex_ = -1;
};
