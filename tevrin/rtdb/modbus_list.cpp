#include "tevrin/rtdb/modbus_list.h"

#include "tevrin/rtdb/comm_db_point_facade.h"
#include "tevrin/rtdb/database_point.h"

#include <algorithm>
#include <cstring>

namespace {

// Thrown for a map header from the unit that cannot be a map ("Invalid response was
// received.").
constexpr int kErrInvalidResponse = 2;

bool IsInputKind(int kind)
{
    switch (kind) {
    case 6: case 7: case 10: case 11: case 12: case 13:
        return true;
    default:
        return false;
    }
}

}  // namespace

// --- groups -----------------------------------------------------------------------------

MBGroup::MBGroup(int kind)
    : MBGroup(kind, MBKind(kind)->startRegister, MBKind(kind)->width)
{
}

MBGroup::MBGroup(int kind, int startRegister, int width)
    : startRegister_(startRegister), width_(width), kind_(static_cast<uint8_t>(kind))
{
}

bool MBGroup::IsWritableAt(int position) const
{
    if (IsInputKind(kind_) || position < 0 || position >= Count())
        return false;
    const DatabasePoint* p = registers_[static_cast<size_t>(position)].point;
    return p && p->IsWritable();
}

int MBGroup::AddPoint(DatabasePoint* point)
{
    const int offset = Count() * width_;
    registers_.push_back({point, static_cast<uint8_t>(point && point->IsWritable() ? 1 : 0), offset});
    return offset;
}

MBGroup* MBGroup::FindByKind(int kind)
{
    return kind == kind_ ? this : nullptr;
}

void MBGroup::FillAdapter(ModmapAdapter& adapter) const
{
    for (const MBRegister& r : registers_)
        adapter.AddEntry(kind_, r.point, r.writable != 0);
}

void MBGroup::TakeUnitEntry(DatabasePoint* point, const ModmapEntry&)
{
    AddPoint(point);
}

int MBGroup::HeaderPair() const
{
    return MBKind(kind_)->headerPair;
}

int MBGroup::PositionOfOffset(int offset) const
{
    for (int i = 0; i < Count(); ++i)
        if (registers_[static_cast<size_t>(i)].offset == offset)
            return i;
    return -1;
}

void MBGroup::InsertPoint(int position, DatabasePoint* point, uint8_t writable)
{
    position = std::clamp(position, 0, Count());
    registers_.insert(registers_.begin() + position, MBRegister{point, writable, 0});
    Renumber();
}

void MBGroup::RemoveAt(int position)
{
    registers_.erase(registers_.begin() + position);
    Renumber();
}

void MBGroup::Move(int from, int to)
{
    const MBRegister moving = registers_[static_cast<size_t>(from)];
    registers_.erase(registers_.begin() + from);
    registers_.insert(registers_.begin() + to, moving);
    Renumber();
}

void MBGroup::Renumber()
{
    for (int i = 0; i < Count(); ++i)
        registers_[static_cast<size_t>(i)].offset = i * width_;
}

ExtendedModicon32MBGroup::ExtendedModicon32MBGroup(int startRegister, int headerPair,
                                                   std::unique_ptr<MBGroup> shortGroup,
                                                   std::unique_ptr<MBGroup> longGroup,
                                                   std::unique_ptr<MBGroup> floatGroup)
    : Modicon32MBGroup(shortGroup->Kind(), startRegister, 1), headerPair_(headerPair)
{
    subgroups_.push_back(std::move(shortGroup));
    subgroups_.push_back(std::move(longGroup));
    subgroups_.push_back(std::move(floatGroup));
    UpdateSubgroupStarts();
}

MBGroup* ExtendedModicon32MBGroup::FindByKind(int kind)
{
    for (auto& g : subgroups_)
        if (MBGroup* found = g->FindByKind(kind))
            return found;
    return nullptr;
}

void ExtendedModicon32MBGroup::FillAdapter(ModmapAdapter& adapter) const
{
    for (const auto& g : subgroups_)
        g->FillAdapter(adapter);
}

void ExtendedModicon32MBGroup::TakeUnitEntry(DatabasePoint* point, const ModmapEntry& entry)
{
    int which = -1;
    if (entry.FORMAT == 2 && entry.LSMS == 0)
        which = 0;
    else if (entry.FORMAT == 1 && entry.LSMS == 1)
        which = 1;
    else if (entry.FORMAT == 0 && entry.LSMS == 1)
        which = 2;
    if (which >= 0)
        subgroups_[static_cast<size_t>(which)]->AddPoint(point);
}

int ExtendedModicon32MBGroup::EntryCount() const
{
    int n = 0;
    for (const auto& g : subgroups_)
        n += g->EntryCount();
    return n;
}

void ExtendedModicon32MBGroup::Clear()
{
    for (auto& g : subgroups_)
        g->Clear();
    UpdateSubgroupStarts();
}

void ExtendedModicon32MBGroup::UpdateSubgroupStarts()
{
    int start = startRegister_;
    for (auto& g : subgroups_) {
        g->SetStartRegister(start);
        start += g->Count() * g->Width();
    }
}

InputRegisterExtModicon32MBGroup::InputRegisterExtModicon32MBGroup()
    : ExtendedModicon32MBGroup(30001, 2, std::make_unique<ShortInputRegisterModicon32MBSubgroup>(),
                               std::make_unique<LongInputRegisterModicon32MBSubgroup>(),
                               std::make_unique<FloatInputRegisterModicon32MBSubgroup>())
{
}

OutputHoldingRegisterExtModicon32MBGroup::OutputHoldingRegisterExtModicon32MBGroup()
    : ExtendedModicon32MBGroup(40001, 3, std::make_unique<ShortOutputHoldingRegisterModicon32MBSubgroup>(),
                               std::make_unique<LongOutputHoldingRegisterModicon32MBSubgroup>(),
                               std::make_unique<FloatOutputHoldingRegisterModicon32MBSubgroup>())
{
}

// --- collections --------------------------------------------------------------------------

void MBGroupCollection::FillAdapter(ModmapAdapter& adapter) const
{
    adapter.SetMode(mode_);
    for (const auto& g : groups_)
        g->FillAdapter(adapter);
}

void MBGroupCollection::LoadEntries(
    const std::vector<std::vector<std::pair<DatabasePoint*, ModmapEntry>>>& entries)
{
    const size_t n = std::min(entries.size(), groups_.size());
    for (size_t g = 0; g < n; ++g)
        for (const auto& [point, entry] : entries[g])
            groups_[g]->TakeUnitEntry(point, entry);
}

void MBGroupCollection::Clear()
{
    for (auto& g : groups_)
        g->Clear();
}

MBGroup* MBGroupCollection::FindByKind(int kind)
{
    for (auto& g : groups_)
        if (MBGroup* found = g->FindByKind(kind))
            return found;
    return nullptr;
}

int MBGroupCollection::EntryCount() const
{
    int n = 0;
    for (const auto& g : groups_)
        n += g->EntryCount();
    return n;
}

ModbusHeader MBGroupCollection::BuildHeader() const
{
    ModbusHeader h;
    std::memset(&h, 0, sizeof h);
    h.mode = mode_;
    int n = 0;
    for (const auto& g : groups_) {
        const int count = g->EntryCount();
        const int pair = g->HeaderPair();
        if (pair >= 0)
            h.runs[pair] = {static_cast<uint16_t>(n), static_cast<uint16_t>(count)};
        n += count;
    }
    return h;
}

void MBGroupCollection::SendEntries(CommDBPointFacade& facade, const ModmapAdapter& adapter) const
{
    const int total = std::min(EntryCount(), adapter.Count());
    for (int i = 0; i < total; ++i) {
        const ModmapEntry e = adapter.EntryAt(i);
        facade.WriteModbusEntry({static_cast<uint16_t>(i), e.LSMS, e.FORMAT, e.ACCESS, e.UNIQUEID});
    }
}

ModbusHeader MBGroupCollection::WriteToUnit(CommDBPointFacade& facade, const ModmapAdapter& adapter)
{
    ModbusHeader zero;
    std::memset(&zero, 0, sizeof zero);
    facade.WriteModbusHeader(zero);
    SendEntries(facade, adapter);
    const ModbusHeader h = BuildHeader();
    facade.WriteModbusHeader(h);
    return h;
}

ModbusHeader Modicon32MBGroupCollection::WriteToUnit(CommDBPointFacade& facade, const ModmapAdapter& adapter)
{
    SendEntries(facade, adapter);
    ModbusHeader zero;
    std::memset(&zero, 0, sizeof zero);
    facade.WriteModbusHeader(zero);
    const ModbusHeader h = BuildHeader();
    facade.WriteModbusHeader(h);
    return h;
}

EnronMBGroupCollection::EnronMBGroupCollection() : MBGroupCollection(kModbusEnron)
{
    groups_.push_back(std::make_unique<CoilEnronMBGroup>());
    groups_.push_back(std::make_unique<ShortEnronMBGroup>());
    groups_.push_back(std::make_unique<LongEnronMBGroup>());
    groups_.push_back(std::make_unique<FloatEnronMBGroup>());
    groups_.push_back(std::make_unique<ArchiveEnronMBGroup>());
}

Modicon16MBGroupCollection::Modicon16MBGroupCollection() : MBGroupCollection(kModbusModicon16)
{
    groups_.push_back(std::make_unique<OutputStatusModicon16MBGroup>());
    groups_.push_back(std::make_unique<InputStatusModicon16MBGroup>());
    groups_.push_back(std::make_unique<InputRegisterModicon16MBGroup>());
    groups_.push_back(std::make_unique<OutputHoldingRegisterModicon16MBGroup>());
}

Modicon32MBGroupCollection::Modicon32MBGroupCollection() : MBGroupCollection(kModbusModicon32)
{
    groups_.push_back(std::make_unique<OutputStatusModicon32MBGroup>());
    groups_.push_back(std::make_unique<InputStatusModicon32MBGroup>());
    groups_.push_back(std::make_unique<InputRegisterExtModicon32MBGroup>());
    groups_.push_back(std::make_unique<OutputHoldingRegisterExtModicon32MBGroup>());
}

// --- the list -------------------------------------------------------------------------------

ModbusList::ModbusList(uint8_t mode, MBPointLookup lookup, CommDBPointFacade* facade)
    : adapter_(ModmapAdapter::Instance()), lookup_(std::move(lookup)), facade_(facade)
{
    std::memset(&header_, 0, sizeof header_);
    adapter_->SetPointLookup(lookup_);
    if (!SetMode(mode))
        SetMode(kModbusEnron);
}

ModbusList::~ModbusList()
{
    collection_.reset();
    ModmapAdapter::DestroyInstance();
}

CommDBPointFacade& ModbusList::Facade() const
{
    return facade_ ? *facade_ : *CommDBPointFacade::Instance();
}

std::unique_ptr<MBGroupCollection> ModbusList::MakeCollection(uint8_t mode)
{
    switch (mode) {
    case kModbusEnron: return std::make_unique<EnronMBGroupCollection>();
    case kModbusModicon16: return std::make_unique<Modicon16MBGroupCollection>();
    case kModbusModicon32: return std::make_unique<Modicon32MBGroupCollection>();
    default: return nullptr;
    }
}

bool ModbusList::SetMode(uint8_t mode)
{
    std::unique_ptr<MBGroupCollection> fresh = MakeCollection(mode);
    if (!fresh)
        return false;
    collection_ = std::move(fresh);
    header_.mode = mode;
    AttachObserversToGroups();
    return true;
}

void ModbusList::AttachObserversToGroups()
{
    for (int g = 0; g < collection_->GroupCount(); ++g)
        for (IMBObserver* o : observers_)
            collection_->Group(g)->Attach(o);
}

namespace {

void UpdateStarts(MBGroupCollection& c)
{
    for (int g = 0; g < c.GroupCount(); ++g)
        if (auto* ext = dynamic_cast<ExtendedModicon32MBGroup*>(c.Group(g)))
            ext->UpdateSubgroupStarts();
}

}  // namespace

void ModbusList::LoadFromUnit()
{
    CommDBPointFacade& facade = Facade();
    const ModbusHeader h = facade.ReadModbusHeader();
    if (h.mode >= kModbusModeCount)
        throw kErrInvalidResponse;
    int counted = 0;
    for (const ModbusRun& run : h.runs) {
        if (run.start + run.count > kModbusMaxEntries)
            throw kErrInvalidResponse;
        counted += run.count;
    }
    if (counted > kModbusMaxEntries)
        throw kErrInvalidResponse;

    // Read everything first: a failure part-way leaves the map as it was.
    std::unique_ptr<MBGroupCollection> fresh = MakeCollection(h.mode);
    std::vector<std::vector<std::pair<DatabasePoint*, ModmapEntry>>> entries(
        static_cast<size_t>(fresh->GroupCount()));
    for (int g = 0; g < fresh->GroupCount(); ++g) {
        const int pair = fresh->Group(g)->HeaderPair();
        if (pair < 0)
            continue;   // the ENRON archive is counted by no run and not read
        const ModbusRun run = h.runs[pair];
        for (int i = run.start; i < run.start + run.count; ++i) {
            const ModbusEntry e = facade.ReadModbusEntry(static_cast<uint16_t>(i));
            if (e.index != i)
                throw kErrEntryIndexMismatch;
            DatabasePoint* point = lookup_ ? lookup_(e.UNIQUEID) : nullptr;
            if (point)
                entries[static_cast<size_t>(g)].push_back({point, ModmapEntry{e.LSMS, e.FORMAT, e.ACCESS, e.UNIQUEID}});
        }
    }

    adapter_->Clear();
    header_ = h;
    SetMode(h.mode);
    collection_->LoadEntries(entries);
    UpdateStarts(*collection_);
    FillAdapter();
    Notify(0, 1, QStringLiteral("loadFromUnit"), 0);
}

void ModbusList::WriteToUnit()
{
    FillAdapter();
    header_ = collection_->WriteToUnit(Facade(), *adapter_);
}

int ModbusList::LoadFromFile(const QString& fileName)
{
    const int result = adapter_->LoadFromFile(fileName);
    if (result != 0)
        return result;
    SetMode(adapter_->GetMode());
    Rebuild();
    header_ = collection_->BuildHeader();
    return 0;
}

int ModbusList::SaveToFile(const QString& fileName)
{
    FillAdapter();
    return adapter_->SaveToFile(fileName);
}

void ModbusList::SetHeader(uint8_t mode, const ModbusRun (&runs)[4])
{
    header_.mode = mode;
    for (int i = 0; i < 4; ++i)
        header_.runs[i] = runs[i];
}

bool ModbusList::LoadFromImage(const ModmapImage& image)
{
    ModmapImage taken = image;
    taken.header = header_;   // the stored runs name the entries
    if (!adapter_->SetImage(taken))
        return false;
    SetMode(header_.mode);
    LoadFromAdapterRuns();
    FillAdapter();
    Notify(0, 1, QStringLiteral("loadFromUnit"), 0);
    return true;
}

void ModbusList::LoadFromAdapterRuns()
{
    std::vector<std::vector<std::pair<DatabasePoint*, ModmapEntry>>> entries(
        static_cast<size_t>(collection_->GroupCount()));
    for (int g = 0; g < collection_->GroupCount(); ++g) {
        MBGroup* group = collection_->Group(g);
        auto take = [&](int i) {
            const ModmapEntry e = adapter_->EntryAt(i);
            DatabasePoint* point = lookup_ ? lookup_(e.UNIQUEID) : nullptr;
            if (point)
                entries[static_cast<size_t>(g)].push_back({point, e});
        };
        const int pair = group->HeaderPair();
        if (pair >= 0) {
            const ModbusRun run = header_.runs[pair];
            for (int i = run.start; i < run.start + run.count && i < kModbusMaxEntries; ++i)
                take(i);
        } else {
            // The ENRON archive: the entries that follow the counted ones.
            for (int i = 0; i < adapter_->Count(); ++i)
                if (adapter_->RegisterKind(i) == group->Kind())
                    take(i);
        }
    }
    collection_->LoadEntries(entries);
    UpdateStarts(*collection_);
}

void ModbusList::FillAdapter()
{
    adapter_->Clear();
    collection_->FillAdapter(*adapter_);
}

void ModbusList::Rebuild()
{
    for (int i = 0; i < adapter_->Count(); ++i) {
        DatabasePoint* point = adapter_->PointAt(i);
        if (!point)
            continue;
        MBGroup* group = collection_->FindByKind(adapter_->RegisterKind(i));
        if (!group)
            continue;
        group->InsertPoint(group->Count(), point, adapter_->IsWritable(i) ? 1 : 0);
    }
    UpdateStarts(*collection_);
}

int ModbusList::AddPoint(DatabasePoint* point, int kind)
{
    MBGroup* group = collection_->FindByKind(kind);
    if (!group || !point || collection_->EntryCount() >= kModbusMaxEntries)
        return -1;
    const int offset = group->AddPoint(point);
    UpdateStarts(*collection_);
    return offset;
}

bool ModbusList::MoveEntry(int fromKind, int source, int toKind, int position)
{
    MBGroup* from = collection_->FindByKind(fromKind);
    MBGroup* to = collection_->FindByKind(toKind);
    if (!from || !to)
        return false;
    if (from == to) {
        if (source < 0 || source >= from->Count() || position < 0 || position >= from->Count())
            return false;
        from->Move(source, position);
    } else {
        const int at = from->PositionOfOffset(source);
        if (at < 0)
            return false;
        DatabasePoint* point = from->RegisterAt(at).point;
        from->RemoveAt(at);
        to->InsertPoint(position, point, point && point->IsWritable() ? 1 : 0);
    }
    UpdateStarts(*collection_);
    return true;
}

bool ModbusList::DeleteEntry(int kind, int offset)
{
    MBGroup* group = collection_->FindByKind(kind);
    if (!group)
        return false;
    const int at = group->PositionOfOffset(offset);
    if (at < 0)
        return false;
    group->RemoveAt(at);
    UpdateStarts(*collection_);
    return true;
}

void ModbusList::Attach(IMBObserver* observer)
{
    MBPublisher::Attach(observer);
    observers_.push_back(observer);
    for (int g = 0; g < collection_->GroupCount(); ++g)
        collection_->Group(g)->Attach(observer);
}

void ModbusList::Detach(IMBObserver* observer)
{
    MBPublisher::Detach(observer);
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
    for (int g = 0; g < collection_->GroupCount(); ++g)
        collection_->Group(g)->Detach(observer);
}

void ModbusList::Clear()
{
    collection_->Clear();
    UpdateStarts(*collection_);
    adapter_->Clear();
}

void ModbusList::CopyHeader(ModbusHeader& destination) const
{
    destination = collection_->BuildHeader();
}

void ModbusList::CopyImage(ModmapImage& destination) const
{
    destination = adapter_->Image();
}
