#pragma once
// The point catalogue: for every analyzer database point its DbId, name, value type, group,
// access and flag bytes, for analyzer database version "17041417" (1,359 rows). A row's number
// is also the point's address in device requests. RosettaManager owns the catalogue and the
// map DbId -> row that is rebuilt at every logon.
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

// The catalogue's operations, by row (0 .. Count() - 1). A row outside the table answers
// neutral values (type code -1, DbId 0, empty name, zero bytes); callers check the row first.
class RosettaInterface {
public:
    virtual ~RosettaInterface() = default;
    virtual std::string TypeName(uint16_t row) const = 0;
    virtual int8_t TypeCode(uint16_t row) const = 0;
    virtual int Count() const = 0;
    virtual std::string UnitsName(uint16_t row) const = 0;
    virtual std::string PointName(uint16_t row) const = 0;
    virtual int16_t DbId(uint16_t row) const = 0;
    virtual uint8_t GroupCode(uint16_t row) const = 0;
    virtual uint8_t ExtraByte(uint16_t row) const = 0;
    virtual uint8_t Access(uint16_t row) const = 0;
    virtual uint8_t Flags(uint16_t row) const = 0;
    virtual std::string Version() const = 0;
};

// The built-in catalogue of version "17041417".
class Rosetta17041417 : public RosettaInterface {
public:
    std::string TypeName(uint16_t row) const override;
    int8_t TypeCode(uint16_t row) const override;
    int Count() const override;
    std::string UnitsName(uint16_t row) const override;
    std::string PointName(uint16_t row) const override;
    int16_t DbId(uint16_t row) const override;
    uint8_t GroupCode(uint16_t row) const override;
    uint8_t ExtraByte(uint16_t row) const override;
    uint8_t Access(uint16_t row) const override;
    uint8_t Flags(uint16_t row) const override;
    std::string Version() const override;
};

// Units of a point by its DbId ("bits", "seconds", "days", "hours", "bps", else "unknown").
std::string UnitsOfDbId(int dbId);

// Value width in bytes of the row's type (4, 2, 1 or 0), as packed in a block-read reply
// and an archive record.
int SizeOfType(const RosettaInterface& catalogue, uint16_t row);

// One row of the point-group table. Only the code and InWatchWindow are used.
struct PointGroup {
    uint8_t code;
    uint8_t section;    // the code with its low nibble cleared
    uint8_t subGroup;   // the code's low nibble
    const char* sectionName;
    const char* subGroupName;
    uint8_t InWatchWindow;
    uint8_t flag2;
    uint8_t flag3;
};

constexpr int kPointGroupCount = 47;
extern const PointGroup PointGroupTable[kPointGroupCount];
int PointGroupCount();
// The first row of the group table with this code, or nullptr.
const PointGroup* FindPointGroup(uint8_t code);

// A new catalogue for the analyzer's version text (always the built-in table). The known
// version sets VersionState to 1; any other text first warns (the data may not display
// correctly, read-only mode) and then sets it to 0.
std::unique_ptr<RosettaInterface> RosettaFactory(const std::string& versionText);

class RosettaManager {
public:
    // The singleton: created on first use without catalogues and with an empty map.
    static RosettaManager* Instance();
    // Deletes both catalogues and the singleton.
    static void Destroy();

    // Creates the built-in catalogue (the database does this once with "17041417").
    void SetBuiltIn(const std::string& versionText);
    // Replaces the version catalogue by one for the analyzer's text and rebuilds the map
    // DbId -> row from it (negative DbIds as their unsigned 16-bit values).
    void LoadForVersion(const std::string& versionText);
    // The built-in catalogue, used for every lookup. Should it be asked for before
    // SetBuiltIn, the same built-in table is made then (without touching VersionState).
    RosettaInterface* Catalogue();

    // The row of a DbId in the map, or -1 when the map has no entry.
    int RowOfDbId(uint16_t dbId) const;
    int MapSize() const { return static_cast<int>(map_.size()); }

private:
    RosettaManager() = default;

    std::unique_ptr<RosettaInterface> builtIn_;
    std::unique_ptr<RosettaInterface> version_;
    std::unordered_map<uint16_t, uint16_t> map_;
};
