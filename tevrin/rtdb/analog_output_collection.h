#pragma once
// The points that may drive an analog output: every catalogue row flagged 0x08, numbered in
// catalogue order. The unit stores an output's source as a DbId; the pages show it as a
// position in this list.
#include "tevrin/rtdb/catalogue/catalogue_rows.h"

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

struct ANALOGOUTPUT_INFO {
    uint32_t position;   // 0-based place in the list
    int16_t DbId;
    QString name;        // the catalogue's point name
};

class AnalogOutputCollection {
public:
    static constexpr uint8_t kAnalogOutputFlag = 0x08;

    static AnalogOutputCollection* Instance();   // empty until Build
    static void DestroyInstance();

    // Refills the list from the built-in catalogue, or from the given rows.
    void Build();
    void Build(const rosetta::CatalogueRow* rows, int rowCount);

    int Count() const { return static_cast<int>(entries_.size()); }
    // The entry at a position; nullptr outside 0..Count()-1.
    const ANALOGOUTPUT_INFO* At(int position) const;
    // The position of the first entry with that DbId; -1 when none.
    int PositionOf(int16_t dbId) const;
    // The DbId of the entry whose position is given; -1 when none.
    int DbIdAt(int position) const;

private:
    AnalogOutputCollection() = default;

    std::vector<std::unique_ptr<ANALOGOUTPUT_INFO>> entries_;
};
