#pragma once
// "SyncClock": sets the analyzer's clock to the moment chosen in the clock dialog. The token
// is written, the write timed, and the clock written again with the moment advanced by the
// time since that write ended and by 1.99 times the write's duration; then the day of the
// week (1 = Sunday ... 7 = Saturday) of that moment.
#include "tevrin/shell/commands/command.h"

#include <cstdint>

struct SyncClockParams {
    uint32_t token = 0;   // the analyzer's packed date-time
};

class SyncClockCommand : public CommandWithParameters<SyncClockParams> {
public:
    static constexpr int kClockDbId = 388;
    static constexpr int kDayOfWeekDbId = 460;
    // What the shared routine gives for a moment a token cannot carry.
    static constexpr uint32_t kInvalidToken = 0xFFFFFFFFu;
    // Said for such a moment, in place of a token: the analyzer's clock holds 2000 to 2063.
    static constexpr const char* kDateOutOfRangeText =
        "The analyzer's clock cannot hold this date: it keeps dates from 2000 to 2063 only.";

    // The moment the next post sets.
    void SetToken(uint32_t token) { Staged().token = token; }
    void Execute() override;

    // Day of the week of a day-count date-time: 1 = Sunday ... 7 = Saturday.
    static int DayOfWeek(double dateTime);
};
