// The point catalogue: the built-in table, type names and widths, point groups, units, the
// DbId map of the analyzer's version and the warning for an unknown version.
#include "tests/common/fake_prompter.h"
#include "tevrin/rtdb/catalogue/catalogue_rows.h"
#include "tevrin/rtdb/rosetta.h"
#include "tevrin/rtdb/version_state.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

class CatalogueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RosettaManager::Destroy();
        VersionState::SetVersionKnown(1);
    }
    void TearDown() override { RosettaManager::Destroy(); }

    RosettaInterface& Cat() { return *RosettaManager::Instance()->Catalogue(); }
};

TEST_F(CatalogueTest, TableShape)
{
    FakePrompter prompter;
    RosettaManager::Instance()->SetBuiltIn("17041417");
    RosettaInterface& c = Cat();
    ASSERT_EQ(c.Count(), 1359);
    EXPECT_EQ(c.Version(), "17041417");

    std::set<int> ids;
    int writable = 0;
    std::set<int> codes;
    std::set<std::string> extraTwo;
    for (int row = 0; row < c.Count(); ++row) {
        const auto r = static_cast<uint16_t>(row);
        EXPECT_TRUE(ids.insert(c.DbId(r)).second) << "DbId " << c.DbId(r) << " twice";
        writable += c.Access(r) == 1;
        EXPECT_LE(c.Access(r), 1);
        codes.insert(c.TypeCode(r));
        if (c.ExtraByte(r) == 2) {
            extraTwo.insert(c.PointName(r));
        } else {
            EXPECT_EQ(c.ExtraByte(r), 0);
        }
        EXPECT_NE(FindPointGroup(c.GroupCode(r)), nullptr) << "row " << row;
    }
    EXPECT_EQ(writable, 1075);
    EXPECT_EQ(*ids.begin(), -5);
    EXPECT_EQ(*ids.rbegin(), 1689);
    EXPECT_EQ(codes, (std::set<int>{0, 1, 2, 3, 8, 9, 10, 11, 12, 13, 15, 19, 20, 21, 22, 24, 25}));
    EXPECT_EQ(extraTwo, (std::set<std::string>{"MODBUS Address", "MODBUS Endian Swap", "MODBUS Register Swap",
                                               "Current Alarm Stat", "Digital Output Positions (BITS)",
                                               "Time (proprietary)", "Date", "Day Of Week (1 - 7)"}));

    struct Telling {
        int row;
        int dbId;
        const char* name;
        int type;
        int group;
        int access;
        int flags;
    };
    const Telling rows[] = {
        {0, 500, "Rosetta Version", 1, 0x10, 0, 0x04},
        {1, 507, "Firmware Version", 1, 0x10, 0, 0x04},
        {64, 20, "Streams", 3, 0x10, 1, 0x04},
        {66, 284, "Bypass Timeout", 0, 0x10, 1, 0x04},
        {1355, -5, "LCH_EN", 13, 0x01, 0, 0x00},
        {1356, -4, "DI_POL", 13, 0x01, 0, 0x00},
        {1357, -2, "FS_POS", 13, 0x01, 0, 0x00},
        {1358, -1, "Diagnostics", 8, 0x01, 1, 0x00},
    };
    for (const auto& t : rows) {
        const auto r = static_cast<uint16_t>(t.row);
        SCOPED_TRACE(t.row);
        EXPECT_EQ(c.DbId(r), t.dbId);
        EXPECT_EQ(c.PointName(r), t.name);
        EXPECT_EQ(c.TypeCode(r), t.type);
        EXPECT_EQ(c.GroupCode(r), t.group);
        EXPECT_EQ(c.Access(r), t.access);
        EXPECT_EQ(c.Flags(r), t.flags);
    }
}

TEST_F(CatalogueTest, SpecialTypeCodesBelongToTheirPoints)
{
    std::map<int, std::vector<std::string>> byCode;
    RosettaInterface& c = Cat();
    for (int row = 0; row < c.Count(); ++row)
        byCode[c.TypeCode(static_cast<uint16_t>(row))].push_back(c.PointName(static_cast<uint16_t>(row)));
    EXPECT_EQ(byCode[19], std::vector<std::string>{"Time (proprietary)"});
    EXPECT_EQ(byCode[20], std::vector<std::string>{"Date"});
    EXPECT_EQ(byCode[25], std::vector<std::string>{"Sequencer State"});
    EXPECT_EQ(byCode[24].size(), 24u);   // the run-kind bytes
}

TEST_F(CatalogueTest, TypeNamesAndWidthsByCode)
{
    const struct {
        int code;
        const char* name;
        int width;
    } cases[] = {
        {0, "float", 4},          {1, "unsigned long", 4},  {2, "unsigned short", 2}, {3, "unsigned char", 1},
        {4, "unsigned long", 4},  {5, "unsigned short", 2}, {6, "unsigned char", 1},  {7, "unsigned char", 1},
        {8, "boolean", 1},        {12, "boolean", 1},       {13, "text", 0},          {14, "Acceleration ", 0},
        {15, "unsigned long", 0}, {16, "Acceleration ", 0}, {18, "Acceleration ", 0}, {19, "unsigned long", 4},
        {20, "unsigned long", 4}, {21, "unsigned short", 2}, {22, "unsigned long", 4}, {23, "Acceleration ", 0},
        {24, "unsigned char", 1}, {25, "unsigned char", 1}, {26, "Acceleration ", 0}, {127, "Acceleration ", 0},
        {-1, "Acceleration ", 0}, {-128, "Acceleration ", 0},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(rosetta::TypeNameOfType(c.code), c.name) << c.code;
        EXPECT_EQ(rosetta::ValueWidthOfType(c.code), c.width) << c.code;
    }

    // The same through the catalogue, one row of each kind that the table holds.
    RosettaInterface& cat = Cat();
    const struct {
        int row;
        const char* name;
        int width;
    } rows[] = {
        {2, "text", 0},             // "Unit ID"
        {0, "unsigned long", 4},    // "Rosetta Version"
        {64, "unsigned char", 1},   // "Streams"
        {66, "float", 4},           // "Bypass Timeout"
        {10, "unsigned short", 2},  // "Alarm: Battery: Actions", a 16-bit bit set
        {75, "unsigned long", 4},   // a 32-bit bit set
    };
    for (const auto& r : rows) {
        EXPECT_EQ(cat.TypeName(static_cast<uint16_t>(r.row)), r.name) << r.row;
        EXPECT_EQ(SizeOfType(cat, static_cast<uint16_t>(r.row)), r.width) << r.row;
    }
    // Baud-rate rows are "unsigned long" but carry no bytes in a block; time is four bytes.
    for (int row = 0; row < cat.Count(); ++row) {
        const auto r = static_cast<uint16_t>(row);
        if (cat.TypeCode(r) == 15) {
            EXPECT_EQ(SizeOfType(cat, r), 0);
            EXPECT_EQ(cat.TypeName(r), "unsigned long");
        }
        if (cat.TypeCode(r) == 19) {
            EXPECT_EQ(SizeOfType(cat, r), 4);
        }
    }
    // Beyond the table: neutral answers, no reading past it.
    EXPECT_EQ(cat.TypeCode(1359), -1);
    EXPECT_EQ(cat.PointName(65535), "");
    EXPECT_EQ(cat.DbId(1359), 0);
}

TEST_F(CatalogueTest, PointGroups)
{
    EXPECT_EQ(PointGroupCount(), 47);
    std::set<int> codes;
    for (const auto& g : PointGroupTable) {
        codes.insert(g.code);
        EXPECT_EQ(g.section, g.code & 0xF0) << int(g.code);
    }
    EXPECT_EQ(codes.size(), 47u);

    const struct {
        int code;
        const char* section;
        const char* subGroup;
        int inWatchWindow;
    } cases[] = {
        {0x00, "Watch Window", "General", 1},
        {0x03, "Watch Window", "Analysis Alarm States", 1},
        {0x10, "Global", "", 0},
        {0x24, "Stream 1", "Reference 1", 0},
        {0x26, "Stream 1", "Reference 1", 0},   // same names, found by its own code
        {0x25, "Stream 1", "Zero", 0},
        {0x31, "Stream 2", "Normal", 0},
        {0x32, "Stream 1", "Normal", 0},
        {0x56, "Stream 1", "Reference 1", 0},
        {0x64, "IO Subsystem", "Analog Outputs", 0},
        {0x71, "Non-Persistant Factory Settings (Direct Control)", "", 0},
        {0x83, "Communications Settings", "Port 4", 0},
        {0xA0, "Hidden - Do not put in Modbus Picklist", "", 1},
        {0xB0, "Not used", "Non", 0},
    };
    for (const auto& c : cases) {
        const PointGroup* g = FindPointGroup(static_cast<uint8_t>(c.code));
        ASSERT_NE(g, nullptr) << c.code;
        EXPECT_EQ(g->code, c.code);
        EXPECT_STREQ(g->sectionName, c.section) << c.code;
        EXPECT_STREQ(g->subGroupName, c.subGroup) << c.code;
        EXPECT_EQ(g->InWatchWindow, c.inWatchWindow) << c.code;
    }
    for (int missing : {0x04, 0x27, 0x65, 0x72, 0x84, 0xC0, 0xFF}) EXPECT_EQ(FindPointGroup(static_cast<uint8_t>(missing)), nullptr);
}

TEST_F(CatalogueTest, UnitsByDbId)
{
    const std::map<int, std::string> units = {
        {9, "bits"},     {10, "seconds"}, {25, "seconds"}, {139, "seconds"}, {30, "days"},    {153, "days"},
        {31, "hours"},   {154, "hours"},  {306, "bps"},    {321, "bps"},     {307, "bits"},   {324, "bits"},
        {20, "unknown"}, {500, "unknown"}, {-1, "unknown"}, {308, "unknown"},
    };
    for (const auto& [id, text] : units) EXPECT_EQ(UnitsOfDbId(id), text) << id;

    RosettaInterface& c = Cat();
    for (int row = 0; row < c.Count(); ++row) {
        const auto r = static_cast<uint16_t>(row);
        if (c.DbId(r) == 25) {
            EXPECT_EQ(c.UnitsName(r), "seconds");   // "Sample: Sample Delay"
        }
        if (c.DbId(r) == 20) {
            EXPECT_EQ(c.UnitsName(r), "unknown");
        }
    }
}

TEST_F(CatalogueTest, MapOfTheAnalyzersVersion)
{
    FakePrompter prompter;
    RosettaManager* m = RosettaManager::Instance();
    EXPECT_EQ(m->MapSize(), 0);
    EXPECT_EQ(m->RowOfDbId(20), -1);

    m->LoadForVersion("17041417");
    EXPECT_EQ(m->MapSize(), 1359);
    const std::map<int, int> rows = {
        {500, 0}, {507, 1}, {20, 64}, {284, 66}, {65531, 1355}, {65532, 1356}, {65534, 1357}, {65535, 1358},
    };
    for (const auto& [id, row] : rows) EXPECT_EQ(m->RowOfDbId(static_cast<uint16_t>(id)), row) << id;
    for (int unknown : {65533, 1690, 5000}) EXPECT_EQ(m->RowOfDbId(static_cast<uint16_t>(unknown)), -1) << unknown;

    // Every row is found again by its own DbId.
    RosettaInterface& c = Cat();
    for (int row = 0; row < c.Count(); ++row)
        ASSERT_EQ(m->RowOfDbId(static_cast<uint16_t>(c.DbId(static_cast<uint16_t>(row)))), row);

    // Loading again rebuilds the same map; destroying forgets it.
    m->LoadForVersion("17041417");
    EXPECT_EQ(m->MapSize(), 1359);
    RosettaManager::Destroy();
    EXPECT_EQ(RosettaManager::Instance()->MapSize(), 0);
}

// Records the version flag as it stands while the warning is shown.
class FlagWatchingPrompter : public FakePrompter {
public:
    int Ask(const platform::Prompt& prompt) override
    {
        flagDuringPrompt.push_back(VersionState::VersionKnown());
        return FakePrompter::Ask(prompt);
    }
    std::vector<int> flagDuringPrompt;
};

TEST_F(CatalogueTest, UnknownVersionWarnsAndBarsUpdateMode)
{
    const QString warning = QStringLiteral(
        "Unknow version of database was found!\n"
        "The data may not display correctly and Firmware should be upgraded!\n"
        "The GUI will automatically switch into Read Only mode.");
    const struct {
        const char* version;
        bool known;
    } cases[] = {{"17041417", true}, {"17041418", false}, {"", false}, {"17041417 ", false}, {"1704141", false}};

    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        RosettaManager::Destroy();
        VersionState::SetVersionKnown(1);
        FlagWatchingPrompter prompter;
        RosettaManager::Instance()->LoadForVersion(c.version);
        if (c.known) {
            EXPECT_TRUE(prompter.prompts.empty());
            EXPECT_EQ(VersionState::VersionKnown(), 1);
        } else {
            ASSERT_EQ(prompter.prompts.size(), 1u);
            EXPECT_EQ(prompter.prompts[0].text, warning);
            EXPECT_EQ(prompter.prompts[0].type, platform::DlgType::Warning);
            EXPECT_EQ(prompter.prompts[0].buttons, unsigned(platform::mbOK));
            EXPECT_EQ(prompter.flagDuringPrompt, std::vector<int>{1}) << "the flag drops after the warning";
            EXPECT_EQ(VersionState::VersionKnown(), 0);
        }
        // Every lookup still uses the same rows.
        EXPECT_EQ(RosettaManager::Instance()->MapSize(), 1359);
        EXPECT_EQ(RosettaManager::Instance()->RowOfDbId(20), 64);
    }

    // The next logon to a known version makes it known again.
    FakePrompter prompter;
    RosettaManager::Instance()->LoadForVersion("17041417");
    EXPECT_EQ(VersionState::VersionKnown(), 1);
}

}  // namespace
