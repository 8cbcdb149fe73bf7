#pragma once
// Bound images: turn the point's value into a state for the page to draw (0 off, 1 on,
// 2 not available). They draw nothing by themselves and never write.
#include "brannix/qcomponentcommon.h"

#include <QLabel>

class TQImageBase : public QLabel, public IDBPointObserver, public IQVESKAHelp {
    Q_OBJECT
    Q_INTERFACES(IQVESKAHelp)
    Q_PROPERTY(ushort DbId READ DbId WRITE setDbId)
    Q_PROPERTY(int HelpContextVESKA READ GetHelpContextVESKA WRITE setHelpContextVESKA)
    Q_PROPERTY(bool UseDatabase READ UseDatabase WRITE setUseDatabase)
    Q_PROPERTY(QString TrueValue READ TrueValue WRITE setTrueValue)
    Q_PROPERTY(Brannix::TBitNum WatchBitNumber READ WatchBitNumber WRITE setWatchBitNumber)

public:
    enum { StateOff = 0, StateOn = 1, StateNotAvailable = 2 };
    ~TQImageBase() override;

    TDbId DbId() const { return common_.dbId; }
    void setDbId(TDbId v) { common_.SetDbId(v); }
    int GetHelpContextVESKA() const override { return common_.helpContext; }
    void setHelpContextVESKA(int v) { common_.helpContext = v; }
    bool UseDatabase() const { return common_.useDatabase; }
    void setUseDatabase(bool v) { common_.useDatabase = v; }
    QString TrueValue() const { return trueValue_; }
    void setTrueValue(const QString& v) { trueValue_ = v; }
    TBitNum WatchBitNumber() const { return watchBit_; }
    void setWatchBitNumber(TBitNum v) { watchBit_ = v; }

    // The on/off state that pages read (and may set) to pick the picture.
    int State() const { return state_; }
    void SetState(int s) { state_ = s; }
    TQComponentCommon& Common() { return common_; }

    void Respond(const char* value) override;
    virtual void Dispatch(TMessage& m);

Q_SIGNALS:
    void OnDBPointValueChanged(const QString& value);
    void AfterRegisterDatabase();

protected:
    TQImageBase(int width, QWidget* parent);
    bool event(QEvent* e) override;
    // The picture keeps its colours when the window holding it is disabled: a light on a page
    // that read-only mode disables still shows its state.
    void paintEvent(QPaintEvent* e) override;

private:
    int width_;
    TQComponentCommon common_;
    QString trueValue_ = QStringLiteral("True");
    TBitNum watchBit_ = bnNone;
    int state_ = StateOff;
};

// One bit (0..31) of the value, or the value against TrueValue.
class TQImage : public TQImageBase {
    Q_OBJECT
public:
    explicit TQImage(QWidget* parent = nullptr) : TQImageBase(32, parent) {}
};

// One bit (0..15) of a 16-bit value, or the value against TrueValue.
class QTImage16 : public TQImageBase {
    Q_OBJECT
public:
    explicit QTImage16(QWidget* parent = nullptr) : TQImageBase(16, parent) {}
};
