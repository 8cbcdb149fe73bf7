#pragma once
// A database point: the program's copy of one analyzer database value. It knows its catalogue
// row, keeps the device value (last read from or written to the unit) and the edited value
// (set by the user or a page), turns its value into text and back, reads and writes itself
// through the message layer and tells every attached observer its new text.
//
// Values cross the rest of the program only as text. Numbers parse like atol / atof in the C
// locale (stop at the first unfit character, 0 for none), cut to the value's width.
#include "brannix/database_glue.h"

#include <cstdint>
#include <string>
#include <vector>

class CommDBPointFacade;
struct PointGroup;

class DBPointPublisher {
public:
    virtual ~DBPointPublisher() = default;
    // The same observer may be attached more than once.
    virtual void Attach(IDBPointObserver* observer);
    // Removes every entry of the observer.
    virtual void Detach(IDBPointObserver* observer);
    // Respond(text) on every observer, in attach order.
    virtual void Notify(const char* text);

    int ObserverCount() const { return static_cast<int>(observers_.size()); }

private:
    std::vector<IDBPointObserver*> observers_;   // not owned
};

class DatabasePoint : public DBPointPublisher {
public:
    // A row beyond the catalogue makes an invalid point: type code 0, DbId 0, not writable,
    // no group, flags 0, named "**INVALID ROSETTA INDEX: " and the row; it has no address.
    explicit DatabasePoint(uint16_t row);

    virtual bool IsChanged() = 0;
    // The edited value as text.
    virtual std::string GetText() = 0;
    // Edited value := parse(text); no notification.
    virtual void SetText(const std::string& text) = 0;
    // Device and edited value := parse(text); no notification.
    virtual void SetInitialText(const std::string& text) = 0;
    // Device and edited value := parse(text), then Notify(GetText()).
    virtual void SetTextAndNotify(const std::string& text) = 0;
    // A text handed back by a control that shows this point. The point's own text (GetText) is
    // no edit: both values stay as they are, so nothing is written for it. A float holds more
    // digits than its text shows, and taking its text back would put another value in its
    // place. Any other text is an edit, taken as SetText takes it.
    void PutText(const std::string& text);
    // Reads the value from the unit (device and edited), then notifies. Without an address
    // nothing happens. Device errors are thrown as int and leave both values as they were.
    virtual void Read() = 0;
    // Writes the edited value to the unit, device := edited, then notifies. Without an
    // address it returns -1 and sends nothing; otherwise 0.
    virtual int Write() = 0;

    const std::string& GetName() const { return name_; }
    int GetTypeCode() const { return typeCode_; }
    uint8_t GetFlags() const { return flags_; }
    uint16_t GetDbId() const { return dbId_; }
    uint16_t GetRow() const { return row_; }
    const PointGroup* GetGroup() const { return group_; }
    bool IsWritable() const { return writable_ != 0; }
    bool IsValid() const { return valid_ != 0; }
    void SetValid(uint8_t valid) { valid_ = valid; }
    std::string GetTypeName() const;
    // The point's address in device requests: its row in the catalogue map of the analyzer's
    // version; -1 when the map has no entry (before the first logon) or the point is invalid.
    // DbId 500 (the database version) is always at 0.
    int DeviceAddress() const;

protected:
    // The message layer, taken when the point first talks to the unit.
    CommDBPointFacade* Facade();
    // Notify(GetText()).
    void NotifyValue();

private:
    uint16_t row_;
    bool inCatalogue_ = false;
    CommDBPointFacade* facade_ = nullptr;
    uint8_t valid_ = 0;
    uint16_t dbId_ = 0;
    std::string name_;
    int typeCode_ = 0;
    const PointGroup* group_ = nullptr;
    uint8_t writable_ = 0;
    uint8_t flags_ = 0;
};

// A point whose two values are numbers of type T. Each class says how it parses, formats,
// reads and writes its value.
template <typename T>
class ValueDatabasePoint : public DatabasePoint {
public:
    using DatabasePoint::DatabasePoint;
    using ValueType = T;

    bool IsChanged() override { return edited_ != device_; }
    std::string GetText() override { return Format(edited_); }
    void SetText(const std::string& text) override { edited_ = ParseEdit(text); }
    void SetInitialText(const std::string& text) override { device_ = edited_ = ParseWhole(text); }
    void SetTextAndNotify(const std::string& text) override
    {
        device_ = edited_ = ParseWhole(text);
        NotifyValue();
    }
    void Read() override
    {
        const int address = DeviceAddress();
        if (address < 0) return;
        const T value = ReadValue(static_cast<uint16_t>(address));
        device_ = edited_ = value;
        NotifyValue();
    }
    int Write() override
    {
        const int address = DeviceAddress();
        if (address < 0) return -1;
        WriteValue(static_cast<uint16_t>(address), edited_);
        device_ = edited_;
        NotifyValue();
        return 0;
    }

    T DeviceValue() const { return device_; }
    T EditedValue() const { return edited_; }

protected:
    virtual T Parse(const std::string& text) const = 0;
    virtual std::string Format(T value) const = 0;
    virtual T ReadValue(uint16_t address) = 0;
    virtual void WriteValue(uint16_t address, T value) = 0;
    // SetText may treat the text differently from the whole-value setters (bit sets do).
    virtual T ParseEdit(const std::string& text) const { return Parse(text); }
    T ParseWhole(const std::string& text) const { return Parse(text); }

    T device_{};
    T edited_{};
};

// The analyzer marks a value it cannot give with a non-finite float. Its texts ("NAN", "INF",
// "-INF", or "nan", "inf" as "%g" shows them) parse back to that value, as C's atof takes them,
// so a block read or a stored text keeps the mark; two NaNs count as the same value.
class FloatDatabasePoint : public ValueDatabasePoint<float> {
public:
    using ValueDatabasePoint::ValueDatabasePoint;
    bool IsChanged() override;
protected:
    float Parse(const std::string& text) const override;
    std::string Format(float value) const override;   // "%g"
    float ReadValue(uint16_t address) override;
    void WriteValue(uint16_t address, float value) override;
};

class U32DatabasePoint : public ValueDatabasePoint<uint32_t> {
public:
    using ValueDatabasePoint::ValueDatabasePoint;
protected:
    uint32_t Parse(const std::string& text) const override;
    std::string Format(uint32_t value) const override;
    uint32_t ReadValue(uint16_t address) override;
    void WriteValue(uint16_t address, uint32_t value) override;
};

class U16DatabasePoint : public ValueDatabasePoint<uint16_t> {
public:
    using ValueDatabasePoint::ValueDatabasePoint;
protected:
    uint16_t Parse(const std::string& text) const override;
    std::string Format(uint16_t value) const override;
    uint16_t ReadValue(uint16_t address) override;
    void WriteValue(uint16_t address, uint16_t value) override;
};

class U8DatabasePoint : public ValueDatabasePoint<uint8_t> {
public:
    using ValueDatabasePoint::ValueDatabasePoint;
protected:
    uint8_t Parse(const std::string& text) const override;
    std::string Format(uint8_t value) const override;
    uint8_t ReadValue(uint16_t address) override;
    void WriteValue(uint16_t address, uint8_t value) override;
};

class S32DatabasePoint : public ValueDatabasePoint<int32_t> {
public:
    using ValueDatabasePoint::ValueDatabasePoint;
protected:
    int32_t Parse(const std::string& text) const override;
    std::string Format(int32_t value) const override;
    int32_t ReadValue(uint16_t address) override;
    void WriteValue(uint16_t address, int32_t value) override;
};

class S16DatabasePoint : public ValueDatabasePoint<int16_t> {
public:
    using ValueDatabasePoint::ValueDatabasePoint;
protected:
    int16_t Parse(const std::string& text) const override;
    std::string Format(int16_t value) const override;
    int16_t ReadValue(uint16_t address) override;
    void WriteValue(uint16_t address, int16_t value) override;
};

class S8DatabasePoint : public ValueDatabasePoint<int8_t> {
public:
    using ValueDatabasePoint::ValueDatabasePoint;
protected:
    int8_t Parse(const std::string& text) const override;
    std::string Format(int8_t value) const override;
    int8_t ReadValue(uint16_t address) override;
    void WriteValue(uint16_t address, int8_t value) override;
};

// 0 or 1. False texts: "", "False", "false", "FALSE", "F", "f", "0"; any other text is true.
class BoolDatabasePoint : public ValueDatabasePoint<uint8_t> {
public:
    using ValueDatabasePoint::ValueDatabasePoint;
protected:
    uint8_t Parse(const std::string& text) const override;
    std::string Format(uint8_t value) const override;   // "True" / "False"
    uint8_t ReadValue(uint16_t address) override;
    void WriteValue(uint16_t address, uint8_t value) override;
};

// A baud-rate setting held in one byte, shown in decimal.
class BaudDatabasePoint : public ValueDatabasePoint<uint8_t> {
public:
    using ValueDatabasePoint::ValueDatabasePoint;
protected:
    uint8_t Parse(const std::string& text) const override;
    std::string Format(uint8_t value) const override;
    uint8_t ReadValue(uint16_t address) override;
    void WriteValue(uint16_t address, uint8_t value) override;
};

// Bit sets. SetText with a single-bit mask (1 << k within the width) sets that bit; with a
// single-zero mask (all bits but one) clears that bit; any other number replaces the value.
// The check boxes that watch one bit of a shared word send these texts. SetInitialText and
// SetTextAndNotify take the number as the whole value.
template <typename T>
class BitsDatabasePoint : public ValueDatabasePoint<T> {
public:
    using ValueDatabasePoint<T>::ValueDatabasePoint;
protected:
    T Parse(const std::string& text) const override;
    T ParseEdit(const std::string& text) const override;
};

// Shown in unsigned decimal like its 16-bit sibling.
class Bits8DatabasePoint : public BitsDatabasePoint<uint8_t> {
public:
    using BitsDatabasePoint::BitsDatabasePoint;
protected:
    std::string Format(uint8_t value) const override;
    uint8_t ReadValue(uint16_t address) override;
    void WriteValue(uint16_t address, uint8_t value) override;
};

// Shown in unsigned decimal.
class Bits16DatabasePoint : public BitsDatabasePoint<uint16_t> {
public:
    using BitsDatabasePoint::BitsDatabasePoint;
protected:
    std::string Format(uint16_t value) const override;
    uint16_t ReadValue(uint16_t address) override;
    void WriteValue(uint16_t address, uint16_t value) override;
};

// Shown in signed decimal (bit 31 set gives a negative number).
class Bits32DatabasePoint : public BitsDatabasePoint<uint32_t> {
public:
    using BitsDatabasePoint::BitsDatabasePoint;
protected:
    std::string Format(uint32_t value) const override;
    uint32_t ReadValue(uint16_t address) override;
    void WriteValue(uint16_t address, uint32_t value) override;
};

// A text point: the device text and the edited text, at most 20 characters on the unit.
class StringDatabasePoint : public DatabasePoint {
public:
    using DatabasePoint::DatabasePoint;

    bool IsChanged() override { return edited_ != device_; }
    std::string GetText() override { return edited_; }
    void SetText(const std::string& text) override { edited_ = text; }
    void SetInitialText(const std::string& text) override { device_ = edited_ = text; }
    void SetTextAndNotify(const std::string& text) override;
    // A reply longer than a text point holds leaves the edited text as it was.
    void Read() override;
    // Sends at most 20 characters; both texts then hold what was sent.
    int Write() override;

    const std::string& DeviceText() const { return device_; }

private:
    std::string device_;
    std::string edited_;
};
