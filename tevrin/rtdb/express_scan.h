#pragma once
// The points of the page now showing. Every page fills it when it is shown: it clears the
// lists, adds the DbId of each bound control (and a few fixed points) and sets its page
// number with the page's two flags. Page reads ask the analyzer only for these points, and
// controls may hand in edits only for them.
#include <cstddef>
#include <cstdint>
#include <vector>

class ExpressScan {
public:
    static constexpr int kPageCount = 17;   // pages 0..16

    ExpressScan();

    // Empties both lists and makes page 0 current; the page flags keep their values.
    void Clear();

    // Appends to the point list unless the DbId is there already.
    void Add(int dbId);
    // Appends to the poll list (duplicates kept).
    void AddPoll(int dbId);

    // Stores both flags of the page and makes it current. A page outside 0..16 is refused
    // (returns false) and changes nothing.
    bool SetPage(int page, uint8_t pollFlag, uint8_t waitWindowFlag);
    int CurrentPage() const { return currentPage_; }

    // pollOnly and the current page polls: whether the DbId is on the poll list;
    // otherwise whether it is on the point list.
    bool Contains(int dbId, bool pollOnly) const;

    // The point list. At requires 0 <= i < Count() (std::out_of_range otherwise).
    int Count() const { return static_cast<int>(points_.size()); }
    int At(int i) const { return points_.at(static_cast<size_t>(i)); }

    // The poll list when the current page polls, else the point list.
    int PollCount() const;
    int PollAt(int i) const;

    // The current page's wait-window flag: its reads show the wait window.
    uint8_t WaitWindowFlag() const { return waitWindow_[currentPage_]; }

private:
    const std::vector<int>& PollSource() const;

    std::vector<int> points_;
    std::vector<int> pollList_;
    uint8_t poll_[kPageCount];
    uint8_t waitWindow_[kPageCount];
    int currentPage_ = 0;
};
