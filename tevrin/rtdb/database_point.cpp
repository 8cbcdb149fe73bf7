#include "tevrin/rtdb/database_point.h"

#include "platform/numtext.h"
#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/rosetta.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace {
constexpr uint16_t kVersionDbId = 500;   // the analyzer's database version, always at address 0
}

// --- publisher --------------------------------------------------------------------------

void DBPointPublisher::Attach(IDBPointObserver* observer) { observers_.push_back(observer); }

void DBPointPublisher::Detach(IDBPointObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void DBPointPublisher::Notify(const char* text)
{
    // An observer may attach or detach while it is told; the list as it stood is told.
    const std::vector<IDBPointObserver*> observers = observers_;
    for (IDBPointObserver* o : observers) o->Respond(text);
}

// --- the point --------------------------------------------------------------------------

DatabasePoint::DatabasePoint(uint16_t row) : row_(row)
{
    RosettaInterface* catalogue = RosettaManager::Instance()->Catalogue();
    if (row > catalogue->Count() - 1) {
        name_ = "**INVALID ROSETTA INDEX: " + std::to_string(row);
        return;
    }
    inCatalogue_ = true;
    typeCode_ = catalogue->TypeCode(row);
    dbId_ = static_cast<uint16_t>(catalogue->DbId(row));
    writable_ = catalogue->Access(row) == 1 ? 1 : 0;
    name_ = catalogue->PointName(row);
    flags_ = catalogue->Flags(row);
    group_ = FindPointGroup(catalogue->GroupCode(row));
}

std::string DatabasePoint::GetTypeName() const
{
    return RosettaManager::Instance()->Catalogue()->TypeName(row_);
}

int DatabasePoint::DeviceAddress() const
{
    if (!inCatalogue_) return -1;
    if (dbId_ == kVersionDbId) return 0;
    return RosettaManager::Instance()->RowOfDbId(dbId_);
}

CommDBPointFacade* DatabasePoint::Facade()
{
    if (!facade_) facade_ = CommDBPointFacade::Instance();
    return facade_;
}

void DatabasePoint::NotifyValue() { Notify(GetText().c_str()); }

void DatabasePoint::PutText(const std::string& text)
{
    if (text == GetText()) return;
    SetText(text);
}

// --- numbers ----------------------------------------------------------------------------

float FloatDatabasePoint::Parse(const std::string& text) const
{
    size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string::npos) return 0.0f;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    std::string word = text.substr(i);
    for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (word == "nan") return std::numeric_limits<float>::quiet_NaN();
    if (word == "inf") return negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    return static_cast<float>(numtext::AtoF(text));
}

bool FloatDatabasePoint::IsChanged()
{
    if (std::isnan(edited_) && std::isnan(device_)) return false;
    return edited_ != device_;
}
std::string FloatDatabasePoint::Format(float value) const { return numtext::FormatG(value); }
float FloatDatabasePoint::ReadValue(uint16_t address) { return Facade()->ReadFloat(address); }
void FloatDatabasePoint::WriteValue(uint16_t address, float value) { Facade()->WriteFloat(address, value); }

uint32_t U32DatabasePoint::Parse(const std::string& text) const { return static_cast<uint32_t>(numtext::AtoL(text)); }
std::string U32DatabasePoint::Format(uint32_t value) const { return numtext::FormatU(value); }
uint32_t U32DatabasePoint::ReadValue(uint16_t address) { return Facade()->ReadU32(address); }
void U32DatabasePoint::WriteValue(uint16_t address, uint32_t value) { Facade()->WriteU32(address, value); }

uint16_t U16DatabasePoint::Parse(const std::string& text) const { return static_cast<uint16_t>(numtext::AtoL(text)); }
std::string U16DatabasePoint::Format(uint16_t value) const { return numtext::FormatU(value); }
uint16_t U16DatabasePoint::ReadValue(uint16_t address) { return Facade()->ReadU16(address); }
void U16DatabasePoint::WriteValue(uint16_t address, uint16_t value) { Facade()->WriteU16(address, value); }

uint8_t U8DatabasePoint::Parse(const std::string& text) const { return static_cast<uint8_t>(numtext::AtoL(text)); }
std::string U8DatabasePoint::Format(uint8_t value) const { return numtext::FormatU(value); }
uint8_t U8DatabasePoint::ReadValue(uint16_t address) { return Facade()->ReadU8(address); }
void U8DatabasePoint::WriteValue(uint16_t address, uint8_t value) { Facade()->WriteU8(address, value); }

int32_t S32DatabasePoint::Parse(const std::string& text) const { return numtext::AtoL(text); }
std::string S32DatabasePoint::Format(int32_t value) const { return numtext::FormatD(value); }
int32_t S32DatabasePoint::ReadValue(uint16_t address) { return Facade()->ReadS32(address); }
void S32DatabasePoint::WriteValue(uint16_t address, int32_t value) { Facade()->WriteS32(address, value); }

int16_t S16DatabasePoint::Parse(const std::string& text) const { return static_cast<int16_t>(numtext::AtoL(text)); }
std::string S16DatabasePoint::Format(int16_t value) const { return numtext::FormatD(value); }
int16_t S16DatabasePoint::ReadValue(uint16_t address) { return Facade()->ReadS16(address); }
void S16DatabasePoint::WriteValue(uint16_t address, int16_t value) { Facade()->WriteS16(address, value); }

int8_t S8DatabasePoint::Parse(const std::string& text) const { return static_cast<int8_t>(numtext::AtoL(text)); }
std::string S8DatabasePoint::Format(int8_t value) const { return numtext::FormatD(value); }
int8_t S8DatabasePoint::ReadValue(uint16_t address) { return Facade()->ReadS8(address); }
void S8DatabasePoint::WriteValue(uint16_t address, int8_t value) { Facade()->WriteS8(address, value); }

uint8_t BoolDatabasePoint::Parse(const std::string& text) const
{
    static const char* const kFalseTexts[] = {"", "False", "false", "FALSE", "F", "f", "0"};
    for (const char* f : kFalseTexts)
        if (text == f) return 0;
    return 1;
}
std::string BoolDatabasePoint::Format(uint8_t value) const { return value != 0 ? "True" : "False"; }
uint8_t BoolDatabasePoint::ReadValue(uint16_t address) { return Facade()->ReadBool(address) ? 1 : 0; }
void BoolDatabasePoint::WriteValue(uint16_t address, uint8_t value) { Facade()->WriteBool(address, value != 0); }

uint8_t BaudDatabasePoint::Parse(const std::string& text) const { return static_cast<uint8_t>(numtext::AtoL(text)); }
std::string BaudDatabasePoint::Format(uint8_t value) const { return numtext::FormatU(value); }
uint8_t BaudDatabasePoint::ReadValue(uint16_t address) { return Facade()->ReadU8(address); }
void BaudDatabasePoint::WriteValue(uint16_t address, uint8_t value) { Facade()->WriteU8(address, value); }

// --- bit sets ---------------------------------------------------------------------------

template <typename T>
T BitsDatabasePoint<T>::Parse(const std::string& text) const
{
    // atol with 32-bit wraparound, so the signed and unsigned texts of one word agree.
    return static_cast<T>(static_cast<uint32_t>(numtext::AtoL(text)));
}

template <typename T>
T BitsDatabasePoint<T>::ParseEdit(const std::string& text) const
{
    const T n = Parse(text);
    const auto singleBit = [](T v) { return v != 0 && (v & static_cast<T>(v - 1)) == 0; };
    if (singleBit(n)) return static_cast<T>(this->edited_ | n);
    if (singleBit(static_cast<T>(~n))) return static_cast<T>(this->edited_ & n);
    return n;
}

template class BitsDatabasePoint<uint8_t>;
template class BitsDatabasePoint<uint16_t>;
template class BitsDatabasePoint<uint32_t>;

std::string Bits8DatabasePoint::Format(uint8_t value) const { return numtext::FormatU(value); }
uint8_t Bits8DatabasePoint::ReadValue(uint16_t address) { return Facade()->ReadU8(address); }
void Bits8DatabasePoint::WriteValue(uint16_t address, uint8_t value) { Facade()->WriteU8(address, value); }

std::string Bits16DatabasePoint::Format(uint16_t value) const { return numtext::FormatU(value); }
uint16_t Bits16DatabasePoint::ReadValue(uint16_t address) { return Facade()->ReadU16(address); }
void Bits16DatabasePoint::WriteValue(uint16_t address, uint16_t value) { Facade()->WriteU16(address, value); }

std::string Bits32DatabasePoint::Format(uint32_t value) const { return numtext::FormatD(static_cast<int32_t>(value)); }
uint32_t Bits32DatabasePoint::ReadValue(uint16_t address) { return Facade()->ReadU32(address); }
void Bits32DatabasePoint::WriteValue(uint16_t address, uint32_t value) { Facade()->WriteU32(address, value); }

// --- text -------------------------------------------------------------------------------

void StringDatabasePoint::SetTextAndNotify(const std::string& text)
{
    device_ = edited_ = text;
    NotifyValue();
}

void StringDatabasePoint::Read()
{
    const int address = DeviceAddress();
    if (address < 0) return;
    // No reply text is longer than the unit holds: one that was not taken (a reply over 20
    // characters) leaves both texts as they were, so an edit not yet written stays an edit.
    std::string incoming(CommDBPointFacade::kMaxTextLength + 1, ' ');
    Facade()->ReadString(static_cast<uint16_t>(address), incoming);
    if (incoming.size() > static_cast<size_t>(CommDBPointFacade::kMaxTextLength)) return;
    device_ = edited_ = incoming;
    NotifyValue();
}

int StringDatabasePoint::Write()
{
    const int address = DeviceAddress();
    if (address < 0) return -1;
    // The unit holds at most 20 characters; after a good write both texts hold what was sent.
    const std::string sent = edited_.substr(0, CommDBPointFacade::kMaxTextLength);
    Facade()->WriteString(static_cast<uint16_t>(address), sent);
    device_ = edited_ = sent;
    NotifyValue();
    return 0;
}
