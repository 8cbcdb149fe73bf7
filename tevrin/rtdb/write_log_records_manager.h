#pragma once
// The change list: the ids written to the analyzer since the confirmation window last emptied
// it, in the order they were first written, without duplicates. Entries are DbIds, plus
// kTimerBlockMarkerId for a written timer block.
#include <cstddef>
#include <vector>

class WriteLogRecordsManager {
public:
    // Stands for the timer block; no catalogue row has this DbId.
    static constexpr int kTimerBlockMarkerId = 9999;

    // Appends the id unless it is on the list already.
    void Add(int id);
    bool Contains(int id) const;
    void Clear() { ids_.clear(); }

    int Count() const { return static_cast<int>(ids_.size()); }
    bool IsEmpty() const { return ids_.empty(); }
    // Requires 0 <= i < Count() (std::out_of_range otherwise).
    int At(int i) const { return ids_.at(static_cast<size_t>(i)); }
    const std::vector<int>& Ids() const { return ids_; }

private:
    std::vector<int> ids_;
};
