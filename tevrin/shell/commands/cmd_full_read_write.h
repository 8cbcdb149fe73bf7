#pragma once
// The commands that move the whole configuration, or one point, between the database and
// the analyzer:
//   "ReadFull"         ReadFullCommand          every configuration point and block
//   "WriteMain"        WriteMainCommand         the controls' edits, then the changes
//   "WriteDirect"      WriteDirectCommand       every configuration point as it stands
//   "WriteSinglePoint" WriteSinglePointCommand  one point, optionally edited first
// All four end at once, silently, while the window is logged off. The first three disable
// the pages, make the application busy and show the wait window while they work, and undo
// all three on every way out.
#include "tevrin/shell/commands/command.h"

#include <cstdint>
#include <string>

class ReadFullCommand : public Command {
public:
    void Execute() override;
};

class WriteMainCommand : public Command {
public:
    void Execute() override;
};

// The argument is the progress maximum the caller computed, as decimal text.
class WriteDirectCommand : public Command {
public:
    void Execute() override;
};

struct WriteSinglePointParams {
    uint16_t dbId = 0;
    std::string text;   // empty: write the point's present edited value
};

class WriteSinglePointCommand : public CommandWithParameters<WriteSinglePointParams> {
public:
    // The point and value text of the next post (the text is copied).
    void SetPoint(uint16_t dbId, const std::string& text)
    {
        Staged().dbId = dbId;
        Staged().text = text;
    }
    void Execute() override;
};
