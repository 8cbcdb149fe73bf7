#include "tevrin/rtdb/write_log_records_manager.h"

#include <algorithm>

void WriteLogRecordsManager::Add(int id)
{
    if (!Contains(id)) ids_.push_back(id);
}

bool WriteLogRecordsManager::Contains(int id) const
{
    return std::find(ids_.begin(), ids_.end(), id) != ids_.end();
}
