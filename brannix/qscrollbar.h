#pragma once
// Bound scroll bar whose position is its point's value, mirrored as a number in an
// associated edit; optionally reversed (the maximum at the top / left).
#include "brannix/qcomponentcommon.h"

#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>

class TQScrollBar : public QScrollBar, public IDBPointObserver, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)
    Q_PROPERTY(ushort DbId READ DbId WRITE setDbId)
    Q_PROPERTY(bool UseDatabase READ UseDatabase WRITE setUseDatabase)
    Q_PROPERTY(QLineEdit* AssociatedControl READ AssociatedControl WRITE setAssociatedControl)
    Q_PROPERTY(bool ReverseAssociatedPosition READ ReverseAssociatedPosition WRITE setReverseAssociatedPosition)

public:
    explicit TQScrollBar(QWidget* parent = nullptr);
    ~TQScrollBar() override;

    int GetHelpContextVESKA() const override { return common_.helpContext; }
    void setHelpContextVESKA(int v) { common_.helpContext = v; }
    TDbId DbId() const { return common_.dbId; }
    void setDbId(TDbId v) { common_.SetDbId(v); }
    bool UseDatabase() const { return common_.useDatabase; }
    void setUseDatabase(bool v) { common_.useDatabase = v; }
    QLineEdit* AssociatedControl() const { return associated_; }
    void setAssociatedControl(QLineEdit* e) { associated_ = e; }
    bool ReverseAssociatedPosition() const { return reverse_; }
    void setReverseAssociatedPosition(bool v) { reverse_ = v; }

    // The value the bar shows: the position, or maximum - position when reversed.
    int ShownValue() const { return reverse_ ? maximum() - value() : value(); }
    void SetShownValue(int v) { setValue(reverse_ ? maximum() - v : v); }
    // True while the bar shows no real value of its point (not a number, or outside the
    // bar's range): it then writes nothing until the user moves it.
    bool ValueUnknown() const { return unknown_; }

    QColor Color() const { return common_.Color(); }
    void SetColor(const QColor& c) { common_.SetColor(c); }
    TQComponentCommon& Common() { return common_; }

    void Respond(const char* value) override;
    virtual void Dispatch(TMessage& m);

Q_SIGNALS:
    void OnDBPointValueChanged(const QString& value, bool& DoDefault);
    void AfterRegisterDatabase();
    void OnPutToDatabase(bool& DoDefault, char z);

protected:
    bool event(QEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;

private:
    // Moves the bar to the number in `text`; false when it is not a number the bar can show.
    bool ShowNumber(const QString& text);
    TQComponentCommon common_;
    QPointer<QLineEdit> associated_;
    bool reverse_ = false;
    bool unknown_ = false;
};
