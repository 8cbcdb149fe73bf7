#pragma once
// The flat image of the Modbus map that every transfer goes through: the mode, the header's
// four runs and up to 100 five-byte entries. The "*.K41mb" list file is exactly this image
// (517 bytes, no other bytes).
#include "tevrin/rtdb/analyzer_records.h"

#include <QString>

#include <cstdint>
#include <functional>

class DatabasePoint;

// Map layouts.
enum : uint8_t { kModbusEnron = 0, kModbusModicon16 = 1, kModbusModicon32 = 2 };
constexpr int kModbusModeCount = 3;
constexpr int kModbusMaxEntries = 100;
constexpr int kModbusKindCount = 17;
constexpr int kArchiveEnronKind = 4;

#pragma pack(push, 1)
// One map entry as held in the image and the list file.
struct ModmapEntry {
    uint8_t LSMS;
    uint8_t FORMAT;
    uint8_t ACCESS;      // 1 writable
    uint16_t UNIQUEID;   // DbId of the mapped point
};
// The whole image: mode and the four runs (the unit's header bytes), then the entries.
struct ModmapImage {
    ModbusHeader header;
    ModmapEntry entries[kModbusMaxEntries];
};
#pragma pack(pop)
static_assert(sizeof(ModmapEntry) == 5, "map entry is 5 bytes");
static_assert(sizeof(ModmapImage) == 517, "map image is 517 bytes");

// What a register kind (0 to 16) fixes: its layout, where its registers are numbered from,
// registers per entry, the entry bytes and the header run that counts it.
struct MBKindInfo {
    uint8_t mode;
    int startRegister;
    int width;
    uint8_t format;
    int access;       // fixed ACCESS, or -1 when it is the register's own writable flag
    uint8_t lsms;
    int headerPair;   // -1: counted by no run (the ENRON archive)
};
// nullptr for a kind outside 0..16.
const MBKindInfo* MBKind(int kind);

// How the map finds the database's point of a DbId (nullptr when there is none).
using MBPointLookup = std::function<DatabasePoint*(uint16_t dbId)>;

class ModmapAdapter {
public:
    static constexpr int kImageSize = static_cast<int>(sizeof(ModmapImage));

    static ModmapAdapter* Instance();
    static void DestroyInstance();

    void SetPointLookup(MBPointLookup lookup) { lookup_ = std::move(lookup); }

    // Zeroes the whole image; no entries.
    void Clear();
    uint8_t GetMode() const { return image_.header.mode; }
    void SetMode(uint8_t mode) { image_.header.mode = mode; }
    int Count() const { return count_; }

    // The database point of entry i; nullptr outside 0..Count()-1 or for an unknown DbId.
    DatabasePoint* PointAt(int i) const;
    // The register kind of entry i for the mode (0 for an entry the mode has no kind for).
    // Entries of the ENRON archive keep kind 4.
    int RegisterKind(int i) const;
    bool IsWritable(int i) const;
    ModmapEntry EntryAt(int i) const;   // zeros outside 0..99

    // Appends an entry for the point with the kind's bytes. False (nothing added) when the
    // image is full or the kind is not one of 0..16.
    bool AddEntry(int kind, const DatabasePoint* point, bool writable);

    // Takes an image: mode, runs and entries as given. The entries are the runs' counts and,
    // in the ENRON layout, the archive entries that follow them. False (nothing changed, with
    // LastError) for a mode outside 0..2 or runs that count more than 100 entries.
    bool SetImage(const ModmapImage& image);
    const ModmapImage& Image() const { return image_; }

    // The list file. Load: 0 loaded, 3 not loaded (missing or unreadable, wrong size, bad mode,
    // more than 100 entries); on failure the image is unchanged and LastError says why.
    int LoadFromFile(const QString& fileName);
    // Save: recounts the runs from the entries, then writes the whole 517 bytes or nothing.
    // 0 written, 1 not written (LastError says why).
    int SaveToFile(const QString& fileName);
    QString LastError() const { return lastError_; }

private:
    ModmapAdapter();
    int KindFromBytes(int i) const;
    void RecountRuns();

    ModmapImage image_;
    int count_ = 0;
    int kinds_[kModbusMaxEntries];   // the kind each entry was added or loaded as
    MBPointLookup lookup_;
    QString lastError_;
};
