#include "tevrin/rtdb/express_scan.h"

#include <algorithm>

ExpressScan::ExpressScan()
{
    std::fill(std::begin(poll_), std::end(poll_), uint8_t{0});
    std::fill(std::begin(waitWindow_), std::end(waitWindow_), uint8_t{1});
}

void ExpressScan::Clear()
{
    points_.clear();
    pollList_.clear();
    currentPage_ = 0;
}

void ExpressScan::Add(int dbId)
{
    if (std::find(points_.begin(), points_.end(), dbId) == points_.end())
        points_.push_back(dbId);
}

void ExpressScan::AddPoll(int dbId)
{
    pollList_.push_back(dbId);
}

bool ExpressScan::SetPage(int page, uint8_t pollFlag, uint8_t waitWindowFlag)
{
    if (page < 0 || page >= kPageCount)
        return false;
    poll_[page] = pollFlag;
    waitWindow_[page] = waitWindowFlag;
    currentPage_ = page;
    return true;
}

const std::vector<int>& ExpressScan::PollSource() const
{
    return poll_[currentPage_] ? pollList_ : points_;
}

bool ExpressScan::Contains(int dbId, bool pollOnly) const
{
    const std::vector<int>& list = pollOnly ? PollSource() : points_;
    return std::find(list.begin(), list.end(), dbId) != list.end();
}

int ExpressScan::PollCount() const
{
    return static_cast<int>(PollSource().size());
}

int ExpressScan::PollAt(int i) const
{
    return PollSource().at(static_cast<size_t>(i));
}
