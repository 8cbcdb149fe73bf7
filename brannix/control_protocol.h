#pragma once
// Types shared by the data-bound controls: what an edit accepts, which bit a check box
// watches, the two message records of the control protocol and the help-context interface.
#include "brannix/database_glue.h"
#include "platform/messages.h"

#include <QColor>
#include <QObject>
#include <QtPlugin>
#include <cstdint>

namespace Brannix {
Q_NAMESPACE

// What an edit accepts (stored as one byte, 0..5).
enum TDataType : uint8_t { dtText, dtSciNot, dtFloat, dtPosFloat, dtInt, dtPosInt };
Q_ENUM_NS(TDataType)

// The bit of an integer point that a check box or image watches; bit N is stored as N + 1.
enum TBitNum : uint8_t {
    bnNone,
    bnBit0, bnBit1, bnBit2, bnBit3, bnBit4, bnBit5, bnBit6, bnBit7,
    bnBit8, bnBit9, bnBit10, bnBit11, bnBit12, bnBit13, bnBit14, bnBit15,
    bnBit16, bnBit17, bnBit18, bnBit19, bnBit20, bnBit21, bnBit22, bnBit23,
    bnBit24, bnBit25, bnBit26, bnBit27, bnBit28, bnBit29, bnBit30, bnBit31
};
Q_ENUM_NS(TBitNum)

// The engineering unit a label is meant to show; kept with the form, read by nothing.
enum TUnitType : uint8_t {
    utNone, utStaticPressure, utDifferentialPressure, utTemperature, utMoleComposition,
    utHeatingValue, utUncorrectedVolume, utCorrectedVolume, utUncorrectedFlowRate, utCorrectedFlowRate
};
Q_ENUM_NS(TUnitType)

// Bit number of a TBitNum (bnBit0 -> 0), -1 for bnNone.
constexpr int BitIndex(TBitNum b) { return b == bnNone ? -1 : static_cast<int>(b) - 1; }

}  // namespace Brannix

// The enumerators under their plain names as well, as the forms and pages write them.
using TDataType = Brannix::TDataType;
using TBitNum = Brannix::TBitNum;
using TUnitType = Brannix::TUnitType;
using Brannix::dtText; using Brannix::dtSciNot; using Brannix::dtFloat;
using Brannix::dtPosFloat; using Brannix::dtInt; using Brannix::dtPosInt;
using Brannix::bnNone;
using Brannix::bnBit0; using Brannix::bnBit1; using Brannix::bnBit2; using Brannix::bnBit3;
using Brannix::bnBit4; using Brannix::bnBit5; using Brannix::bnBit6; using Brannix::bnBit7;
using Brannix::bnBit8; using Brannix::bnBit9; using Brannix::bnBit10; using Brannix::bnBit11;
using Brannix::bnBit12; using Brannix::bnBit13; using Brannix::bnBit14; using Brannix::bnBit15;
using Brannix::bnBit16; using Brannix::bnBit17; using Brannix::bnBit18; using Brannix::bnBit19;
using Brannix::bnBit20; using Brannix::bnBit21; using Brannix::bnBit22; using Brannix::bnBit23;
using Brannix::bnBit24; using Brannix::bnBit25; using Brannix::bnBit26; using Brannix::bnBit27;
using Brannix::bnBit28; using Brannix::bnBit29; using Brannix::bnBit30; using Brannix::bnBit31;
using Brannix::utNone; using Brannix::utStaticPressure; using Brannix::utDifferentialPressure;
using Brannix::utTemperature; using Brannix::utMoleComposition; using Brannix::utHeatingValue;
using Brannix::utUncorrectedVolume; using Brannix::utCorrectedVolume;
using Brannix::utUncorrectedFlowRate; using Brannix::utCorrectedFlowRate;

// Colours of the family.
inline QColor clYellow() { return QColor(255, 255, 0); }   // default alarm colour
inline QColor clOlive() { return QColor(128, 128, 0); }    // point not available
inline QColor clLime() { return QColor(0, 255, 0); }       // editing started

// The control protocol's records, read from the message: QM_GET, QM_PUT, QM_EDIT, QM_RESET
// and QM_BEFOREPOST carry the sending form in LParam (nobody reads it);
// QM_REGISTERDATABASE carries the IDatabaseGlue pointer (may be null) in LParam. The answer
// goes into the message's Result: 1 from a control that refuses.
struct TQMMOVEVAL {
    TMessage& m;
    QObject* Sender() const { return reinterpret_cast<QObject*>(m.LParam); }
    intptr_t& Result() { return m.Result; }
};

struct TQMDATABASE {
    TMessage& m;
    IDatabaseGlue* Database() const { return reinterpret_cast<IDatabaseGlue*>(m.LParam); }
    intptr_t& Result() { return m.Result; }
};

// QM_REPORTCHANGES carries in LParam the QTreeWidget that takes one row per changed control:
// column 0 the caption of the control's form, then the field name, the old value, the new
// value and "?" (a radio group puts its own caption before the "?").

// Builders for the senders.
inline TMessage MakeMoveValMessage(unsigned msg, QObject* sender = nullptr)
{
    return TMessage(msg, 0, reinterpret_cast<intptr_t>(sender));
}
inline TMessage MakeDatabaseMessage(IDatabaseGlue* glue)
{
    return TMessage(platform::QM_REGISTERDATABASE, 0, reinterpret_cast<intptr_t>(glue));
}
class QTreeWidget;
inline TMessage MakeReportChangesMessage(QTreeWidget* list)
{
    return TMessage(platform::QM_REPORTCHANGES, 0, reinterpret_cast<intptr_t>(list));
}

// Every control of the family reports a help context (0 = none). Ask an object for it
// with qobject_cast<IQVESKAHelp*>, or read its "HelpContextVESKA" property.
class IQVESKAHelp {
public:
    virtual ~IQVESKAHelp() = default;
    virtual int GetHelpContextVESKA() const = 0;
};
#define IQVESKAHelp_iid "{2DE9ACC8-6DA8-4A5E-8858-42105DA11966}"
Q_DECLARE_INTERFACE(IQVESKAHelp, IQVESKAHelp_iid)
