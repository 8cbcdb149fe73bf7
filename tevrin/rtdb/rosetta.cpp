#include "tevrin/rtdb/rosetta.h"

#include "platform/prompter.h"
#include "tevrin/rtdb/catalogue/catalogue_rows.h"
#include "tevrin/rtdb/version_state.h"

namespace {

const rosetta::CatalogueRow* RowAt(uint16_t row)
{
    return row < rosetta::kCatalogueRowCount ? &rosetta::kCatalogueRows[row] : nullptr;
}

RosettaManager* g_manager = nullptr;

}  // namespace

// --- the built-in catalogue -------------------------------------------------------------

std::string Rosetta17041417::TypeName(uint16_t row) const { return rosetta::TypeNameOfType(TypeCode(row)); }

int8_t Rosetta17041417::TypeCode(uint16_t row) const
{
    const auto* r = RowAt(row);
    return r ? r->typeCode : -1;
}

int Rosetta17041417::Count() const { return rosetta::kCatalogueRowCount; }

std::string Rosetta17041417::UnitsName(uint16_t row) const
{
    const auto* r = RowAt(row);
    return UnitsOfDbId(r ? r->dbId : -1);
}

std::string Rosetta17041417::PointName(uint16_t row) const
{
    const auto* r = RowAt(row);
    return r ? r->name : "";
}

int16_t Rosetta17041417::DbId(uint16_t row) const
{
    const auto* r = RowAt(row);
    return r ? r->dbId : 0;
}

uint8_t Rosetta17041417::GroupCode(uint16_t row) const
{
    const auto* r = RowAt(row);
    return r ? r->group : 0;
}

uint8_t Rosetta17041417::ExtraByte(uint16_t row) const
{
    const auto* r = RowAt(row);
    return r ? r->extra : 0;
}

uint8_t Rosetta17041417::Access(uint16_t row) const
{
    const auto* r = RowAt(row);
    return r ? r->access : 0;
}

uint8_t Rosetta17041417::Flags(uint16_t row) const
{
    const auto* r = RowAt(row);
    return r ? r->flags : 0;
}

std::string Rosetta17041417::Version() const { return rosetta::kCatalogueVersion; }

std::string UnitsOfDbId(int dbId)
{
    switch (dbId) {
    case 9:
        return "bits";
    case 10: case 25: case 26: case 138: case 139:
        return "seconds";
    case 30: case 40: case 143: case 148: case 153:
        return "days";
    case 31: case 41: case 144: case 149: case 154:
        return "hours";
    case 306: case 311: case 316: case 321:
        return "bps";
    case 307: case 309: case 312: case 314: case 317: case 319: case 322: case 324:
        return "bits";
    default:
        return "unknown";
    }
}

int SizeOfType(const RosettaInterface& catalogue, uint16_t row)
{
    return rosetta::ValueWidthOfType(catalogue.TypeCode(row));
}

// --- point groups -----------------------------------------------------------------------

#define STREAM_GROUPS(base, section)                                              \
    {base | 0x0, base, 0x0, section, "", 0, 1, 1},                                \
    {base | 0x1, base, 0x1, section, "Normal", 0, 1, 1},                          \
    {base | 0x2, base, 0x2, (base) == 0x30 ? "Stream 1" : section, "Normal", 0, 1, 1}, \
    {base | 0x3, base, 0x3, section, "Calibration", 0, 1, 1},                     \
    {base | 0x4, base, 0x4, section, "Reference 1", 0, 1, 1},                     \
    {base | 0x6, base, 0x6, section, "Reference 1", 0, 1, 1},                     \
    {base | 0x5, base, 0x5, section, "Zero", 0, 1, 1}

const PointGroup PointGroupTable[kPointGroupCount] = {
    {0x00, 0x00, 0, "Watch Window", "General", 1, 1, 0},
    {0x01, 0x00, 1, "Watch Window", "Current Stream Stats", 1, 1, 0},
    {0x02, 0x00, 2, "Watch Window", "IO States", 1, 1, 0},
    {0x03, 0x00, 3, "Watch Window", "Analysis Alarm States", 1, 1, 0},
    {0x10, 0x10, 0, "Global", "", 0, 1, 1},
    STREAM_GROUPS(0x20, "Stream 1"),
    STREAM_GROUPS(0x30, "Stream 2"),
    STREAM_GROUPS(0x40, "Stream 1"),
    STREAM_GROUPS(0x50, "Stream 1"),
    {0x60, 0x60, 0, "IO Subsystem", "Other (PWM for now)", 0, 1, 1},
    {0x61, 0x60, 1, "IO Subsystem", "Relays", 0, 1, 1},
    {0x62, 0x60, 2, "IO Subsystem", "Solenoids", 0, 1, 1},
    {0x63, 0x60, 3, "IO Subsystem", "Discrete Inputs", 0, 1, 1},
    {0x64, 0x60, 4, "IO Subsystem", "Analog Outputs", 0, 1, 1},
    {0x70, 0x70, 0, "Persistant Factory Settings", "", 0, 1, 1},
    {0x71, 0x70, 1, "Non-Persistant Factory Settings (Direct Control)", "", 0, 1, 0},
    {0x80, 0x80, 0, "Communications Settings", "Port 1", 0, 1, 1},
    {0x81, 0x80, 1, "Communications Settings", "Port 2", 0, 1, 1},
    {0x82, 0x80, 2, "Communications Settings", "Port 3", 0, 1, 1},
    {0x83, 0x80, 3, "Communications Settings", "Port 4", 0, 1, 1},
    {0x90, 0x90, 0, "Toolbar IO", "", 0, 1, 0},
    {0xA0, 0xA0, 0, "Hidden - Do not put in Modbus Picklist", "", 1, 0, 1},
    {0xB0, 0xB0, 0, "Not used", "Non", 0, 1, 1},
};

#undef STREAM_GROUPS

int PointGroupCount() { return kPointGroupCount; }

const PointGroup* FindPointGroup(uint8_t code)
{
    for (const auto& g : PointGroupTable)
        if (g.code == code) return &g;
    return nullptr;
}

// --- factory and manager ----------------------------------------------------------------

std::unique_ptr<RosettaInterface> RosettaFactory(const std::string& versionText)
{
    if (versionText == rosetta::kCatalogueVersion) {
        VersionState::SetVersionKnown(1);
    } else {
        platform::MessageDlg(QStringLiteral("Unknow version of database was found!\n"
                                            "The data may not display correctly and Firmware should be upgraded!\n"
                                            "The GUI will automatically switch into Read Only mode."),
                             platform::DlgType::Warning, platform::mbOK);
        VersionState::SetVersionKnown(0);
    }
    return std::make_unique<Rosetta17041417>();
}

RosettaManager* RosettaManager::Instance()
{
    if (!g_manager) g_manager = new RosettaManager();
    return g_manager;
}

void RosettaManager::Destroy()
{
    delete g_manager;
    g_manager = nullptr;
}

void RosettaManager::SetBuiltIn(const std::string& versionText) { builtIn_ = RosettaFactory(versionText); }

void RosettaManager::LoadForVersion(const std::string& versionText)
{
    version_.reset();
    version_ = RosettaFactory(versionText);
    map_.clear();
    const int count = version_->Count();
    map_.reserve(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        const auto r = static_cast<uint16_t>(row);
        map_.emplace(static_cast<uint16_t>(version_->DbId(r)), r);
    }
}

RosettaInterface* RosettaManager::Catalogue()
{
    if (!builtIn_) builtIn_ = std::make_unique<Rosetta17041417>();
    return builtIn_.get();
}

int RosettaManager::RowOfDbId(uint16_t dbId) const
{
    const auto it = map_.find(dbId);
    return it == map_.end() ? -1 : it->second;
}
