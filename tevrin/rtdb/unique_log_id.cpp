#include "tevrin/rtdb/unique_log_id.h"

#include <algorithm>

namespace {
UniqueLogID* g_instance = nullptr;
constexpr int kStep = 8;
}  // namespace

UniqueLogID::UniqueLogID() : ids_{0} {}

UniqueLogID* UniqueLogID::Instance()
{
    if (!g_instance) g_instance = new UniqueLogID();
    return g_instance;
}

void UniqueLogID::DestroyInstance()
{
    delete g_instance;
    g_instance = nullptr;
}

bool UniqueLogID::Contains(int id) const { return std::find(ids_.begin(), ids_.end(), id) != ids_.end(); }

void UniqueLogID::Add(int id)
{
    if (!Contains(id)) ids_.push_back(id);
}

void UniqueLogID::Clear() { ids_.clear(); }

bool UniqueLogID::IsFreeCode(int id) const { return id >= 1 && id <= kHighestId && !Contains(id); }

int UniqueLogID::FirstFree() const
{
    for (int id = 1 + kStep; id <= kHighestId; id += kStep)
        if (!Contains(id)) return id;
    return kNoFreeId;
}

int UniqueLogID::NextFree(int id) const
{
    if (id >= kHighestId) return FirstFree();
    long long first = static_cast<long long>(id) + kStep;
    if (first < 1) first += ((1 - first + kStep - 1) / kStep) * kStep;   // no codes below 1
    for (int candidate = static_cast<int>(first); candidate <= kHighestId; candidate += kStep)
        if (IsFreeCode(candidate)) return candidate;
    return FirstFree();
}
