#include "tevrin/rtdb/analog_output_collection.h"

namespace {
AnalogOutputCollection* g_instance = nullptr;
}

AnalogOutputCollection* AnalogOutputCollection::Instance()
{
    if (!g_instance)
        g_instance = new AnalogOutputCollection();
    return g_instance;
}

void AnalogOutputCollection::DestroyInstance()
{
    delete g_instance;
    g_instance = nullptr;
}

void AnalogOutputCollection::Build()
{
    Build(rosetta::kCatalogueRows, rosetta::kCatalogueRowCount);
}

void AnalogOutputCollection::Build(const rosetta::CatalogueRow* rows, int rowCount)
{
    entries_.clear();
    for (int r = 0; r < rowCount; ++r) {
        if (!(rows[r].flags & kAnalogOutputFlag))
            continue;
        auto info = std::make_unique<ANALOGOUTPUT_INFO>();
        info->position = static_cast<uint32_t>(entries_.size());
        info->DbId = rows[r].dbId;
        info->name = QString::fromLatin1(rows[r].name);
        entries_.push_back(std::move(info));
    }
}

const ANALOGOUTPUT_INFO* AnalogOutputCollection::At(int position) const
{
    if (position < 0 || position >= Count())
        return nullptr;
    return entries_[static_cast<size_t>(position)].get();
}

int AnalogOutputCollection::PositionOf(int16_t dbId) const
{
    for (const auto& e : entries_)
        if (e->DbId == dbId)
            return static_cast<int>(e->position);
    return -1;
}

int AnalogOutputCollection::DbIdAt(int position) const
{
    for (const auto& e : entries_)
        if (static_cast<int64_t>(e->position) == position)
            return e->DbId;
    return -1;
}
