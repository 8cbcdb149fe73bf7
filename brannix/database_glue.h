#pragma once
// The two interfaces between the data-bound controls and the real-time database. Controls
// reach the database only through IDatabaseGlue; the database reaches a control only
// through IDBPointObserver.
#include <cstdint>
#include <string>

using TDbId = uint16_t;

class IDatabaseGlue;
// A control detaches from its point when it is destroyed. A database that goes away while
// controls are still alive makes those controls forget it, so that they never call it again
// (implemented by the controls' library; the glue's destructor calls it).
void BrannixForgetDatabase(IDatabaseGlue* glue);

class IDBPointObserver {
public:
    // The point's new value as text.
    virtual void Respond(const char* value) = 0;

protected:
    ~IDBPointObserver() = default;
};

class IDatabaseGlue {
public:
    virtual std::string GetPointName(TDbId id) = 0;             // "0" for an unknown id
    virtual int Attach(TDbId id, IDBPointObserver* observer) = 0;  // 0 attached, 1 no such point
    virtual void Detach(TDbId id, IDBPointObserver* observer) = 0;
    // Stores the text as the point's edited value. May throw EConvertError for a text that
    // is not a number on a point that translates it.
    virtual void PutText(TDbId id, const char* text) = 0;
    virtual bool IsWritable(TDbId id) = 0;
    virtual int GetTypeCode(TDbId id) = 0;

protected:
    ~IDatabaseGlue() { BrannixForgetDatabase(this); }
};
