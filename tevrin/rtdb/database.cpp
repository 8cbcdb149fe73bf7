#include "tevrin/rtdb/database.h"

#include "platform/errors.h"
#include "platform/numtext.h"
#include "tevrin/rtdb/analog_output_collection.h"
#include "tevrin/rtdb/database_point.h"
#include "tevrin/rtdb/db_point_factory.h"
#include "tevrin/rtdb/modbus_list.h"
#include "tevrin/rtdb/rosetta.h"

#include <algorithm>
#include <iterator>

namespace {

DataBase* g_database = nullptr;

// The analog-output function points of every stream and run kind, and the six analog-output
// parameter points: their texts are positions in the analog-output source list.
constexpr TDbId kAOSourcePoints[] = {
    50,   54,   163,  167,  673,  678,  823,  828,    // Sample
    616,  621,  641,  646,  701,  706,  851,  856,    // Total Sulphur
    73,   77,   186,  190,  728,  733,  878,  883,    // Calibration
    96,   100,  209,  213,  758,  763,  908,  913,    // Reference 1
    1275, 1278, 1301, 1304, 1327, 1330, 1353, 1356,   // Reference 2
    119,  123,  232,  236,  788,  793,  938,  943,    // Zero
    1247, 1250, 1253, 1256, 1259, 1262,               // Analog Output 1..6: Parameter
};
static_assert(std::size(kAOSourcePoints) == 54, "54 analog-output source points");

bool IsAOSourcePoint(TDbId id)
{
    return std::find(std::begin(kAOSourcePoints), std::end(kAOSourcePoints), id) != std::end(kAOSourcePoints);
}

// The class library's whole-text integer conversion (EConvertError otherwise).
int32_t TextToInt(const std::string& text) { return archive_capacity::StrToInt(text); }

// The class library's whole-text float conversion: optional blanks around a decimal number
// (sign, digits with an optional '.', optional exponent), '.' as separator; EConvertError
// otherwise.
double TextToFloat(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    const size_t last = text.find_last_not_of(' ');
    const std::string t = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    size_t i = 0;
    const auto digits = [&]() {
        const size_t from = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
        return i - from;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t mantissa = digits();
    if (i < t.size() && t[i] == '.') {
        ++i;
        mantissa += digits();
    }
    bool ok = mantissa > 0;
    if (ok && i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        ok = digits() > 0;
    }
    if (!ok || i != t.size()) throw EConvertError("'" + text + "' is not a valid floating point value");
    return numtext::AtoF(t);
}

}  // namespace

// --- lifetime ---------------------------------------------------------------------------------

DataBase* DataBase::Instance()
{
    if (!g_database) g_database = new DataBase();
    return g_database;
}

bool DataBase::Exists() { return g_database != nullptr; }

void DataBase::DestroyInstance()
{
    if (!g_database) return;
    g_database->FreeArchiveData();
    g_database->FreeEventData();
    for (auto& point : g_database->points_) {
        try {
            point.reset();
        } catch (...) {
            // A point that fails to go is skipped; the others are still destroyed.
        }
    }
    delete g_database;
    g_database = nullptr;
    RosettaManager::Destroy();
}

DataBase::DataBase() : configFileTypeId_(kConfigFileTypeIdLength, ' ')
{
    RosettaManager::Instance()->SetBuiltIn(rosetta::kCatalogueVersion);
    const int count = RosettaManager::Instance()->Catalogue()->Count();
    points_.reserve(static_cast<size_t>(count));
    rowOfDbId_.reserve(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        points_.push_back(DBPointFactory::Create(static_cast<uint16_t>(row)));
        if (points_.back()) rowOfDbId_.emplace(points_.back()->GetDbId(), static_cast<uint16_t>(row));
    }
    modbusList_ = std::make_unique<ModbusList>(
        kModbusEnron, [this](uint16_t id) { return PointByDbId(id); });
    sequencer_ = std::make_unique<Sequencer>();
    timers_ = std::make_unique<TimerXManager>();
}

// The points go first: the Modbus map refers to them but never uses them while it goes.
DataBase::~DataBase() = default;

// --- IDatabaseDriver ----------------------------------------------------------------------------

void DataBase::SetConfigFileTypeID(const std::string& id)
{
    configFileTypeId_ = id.substr(0, kConfigFileTypeIdLength);
    configFileTypeId_.resize(kConfigFileTypeIdLength, ' ');
}

int DataBase::ReadPoint(TDbId id)
{
    DatabasePoint* p = PointByDbId(id);
    if (!p) return kErrUnknownReadPoint;
    p->Read();
    p->SetValid(1);
    return 0;
}

bool DataBase::AnyChanged()
{
    bool changed = false;
    for (auto& p : points_)
        if (p && p->IsChanged()) changed = true;   // every point is asked
    return changed;
}

int DataBase::PointCount() { return static_cast<int>(points_.size()); }

int DataBase::CountFlaggedGroupPoints()
{
    int n = 0;
    for (auto& p : points_)
        if (p && p->GetGroup() && p->GetGroup()->InWatchWindow) ++n;
    return n;
}

void DataBase::Connect()
{
    // The version point is read on its own: its address is fixed, whatever the catalogue.
    std::unique_ptr<DatabasePoint> version = DBPointFactory::Create(0);
    version->Read();
    const std::string versionText = version->GetText();
    version.reset();

    RosettaManager::Instance()->LoadForVersion(versionText);
    ReadAll();
    sequencer_->ReadFromUnit();
    offline_ = 0;
}

// --- IDatabaseGlue ------------------------------------------------------------------------------

std::string DataBase::GetPointName(TDbId id)
{
    DatabasePoint* p = PointByDbId(id);
    return p ? p->GetName() : std::string("0");
}

int DataBase::Attach(TDbId id, IDBPointObserver* observer)
{
    DatabasePoint* p = PointByDbId(id);
    if (!p) return 1;
    p->Attach(observer);
    return 0;
}

void DataBase::Detach(TDbId id, IDBPointObserver* observer)
{
    if (DatabasePoint* p = PointByDbId(id)) p->Detach(observer);
}

void DataBase::PutText(TDbId id, const char* text)
{
    DatabasePoint* p = PointByDbId(id);
    if (!p) return;
    if (!offline_ && (!expressScan_.Contains(id, false) || !p->IsValid())) return;
    const std::string given = text ? text : "";
    std::string t = TranslateAOSource(id, given);
    if (t != "-1") {
        p->SetText(t);
        return;
    }
    t = TranslateBypassTimeout(id, given);
    if (t != "-1")
        p->SetText(t);
    else
        p->PutText(given);
}

bool DataBase::IsWritable(TDbId id)
{
    DatabasePoint* p = PointByDbId(id);
    return p && p->IsWritable();
}

int DataBase::GetTypeCode(TDbId id)
{
    DatabasePoint* p = PointByDbId(id);
    return p ? p->GetTypeCode() : 0;
}

// --- points -------------------------------------------------------------------------------------

DatabasePoint* DataBase::PointByIndex(int row) const
{
    if (row < 0 || row >= static_cast<int>(points_.size())) return nullptr;
    return points_[static_cast<size_t>(row)].get();
}

DatabasePoint* DataBase::PointByDbId(TDbId id) const
{
    const auto it = rowOfDbId_.find(id);
    return it == rowOfDbId_.end() ? nullptr : points_[it->second].get();
}

std::string DataBase::GetPointText(TDbId id)
{
    DatabasePoint* p = PointByDbId(id);
    return p ? p->GetText() : std::string();
}

std::string DataBase::GetPointNameByRow(int row)
{
    DatabasePoint* p = PointByIndex(row);
    return p ? p->GetName() : std::string("0");
}

void DataBase::SetPointText(TDbId id, const std::string& text)
{
    DatabasePoint* p = PointByDbId(id);
    if (!p || !p->IsValid()) return;
    std::string t = TranslateAOSource(id, text);
    if (t != "-1") {
        p->SetText(t);
        return;
    }
    t = TranslateBypassTimeout(id, text);
    if (t == "-1")
        p->SetText(text);
    else if (expressScan_.CurrentPage() == 3)
        p->SetText(t);
}

void DataBase::SetValid(TDbId id)
{
    if (DatabasePoint* p = PointByDbId(id)) p->SetValid(1);
}

void DataBase::ClearValid()
{
    for (auto& p : points_)
        if (p) p->SetValid(0);
    offline_ = 1;
}

std::string DataBase::TranslateAOSource(TDbId id, const std::string& text)
{
    if (!IsAOSourcePoint(id)) return "-1";
    const int position = TextToInt(text);
    const int dbId = AnalogOutputCollection::Instance()->DbIdAt(position);
    return std::to_string(static_cast<uint16_t>(dbId));   // none: 65535
}

std::string DataBase::TranslateBypassTimeout(TDbId id, const std::string& text)
{
    if (id != kBypassTimeoutDbId) return "-1";
    const float seconds = static_cast<float>(TextToFloat(text));
    return numtext::FloatToStr(static_cast<double>(seconds) * 1000.0);
}

// --- archive capacity ---------------------------------------------------------------------------

float DataBase::AverageOnRunPeriod()
{
    return archive_capacity::AverageOnRunPeriod(sequencer_->Block(), [this](TDbId id) { return GetPointText(id); });
}

int DataBase::ComputeRunTimes()
{
    return archive_capacity::ComputeRunTimes(logRecords_, archiveMemorySize_, AverageOnRunPeriod(), capacities_);
}

bool DataBase::LogIdsAreUnique() const { return archive_capacity::LogIdsAreUnique(logRecords_); }

bool DataBase::LogIdsAreUnique(const LogRecordSet& among) const
{
    return archive_capacity::LogIdsAreUnique(logRecords_, among);
}

void DataBase::ResetLogIds() { archive_capacity::ResetLogIds(logRecords_); }
