#pragma once
// The id codes in use by the analyzer's logs. The archive parser tells the logs' records
// apart by their one-byte id code, so no two logs may share one; this set hands out codes
// that are not in use. A fresh set holds the single id 0.
#include <vector>

class UniqueLogID {
public:
    // Answer of FirstFree / NextFree when no code 1..255 is free (a caller drops its
    // change on a result of kNoFreeId or more).
    static constexpr int kNoFreeId = 0xFFFF;
    // Highest code a log can carry.
    static constexpr int kHighestId = 255;

    static UniqueLogID* Instance();   // made on first use
    static void DestroyInstance();    // made again on the next use

    bool Contains(int id) const;
    // Appends the id unless it is present.
    void Add(int id);
    // Empties the set (0 included).
    void Clear();

    // The first free code of 9, 17, 25, ... 249; kNoFreeId when all are in use.
    int FirstFree() const;
    // The first free code of id + 8, id + 16, ... up to 255; when that runs out, FirstFree.
    // The code is not added to the set.
    int NextFree(int id) const;

    const std::vector<int>& Ids() const { return ids_; }

private:
    UniqueLogID();
    bool IsFreeCode(int id) const;

    std::vector<int> ids_;
};
