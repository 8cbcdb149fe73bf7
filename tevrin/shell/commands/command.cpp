#include "tevrin/shell/commands/command.h"

#include "platform/prompter.h"

#include <QString>

void Command::RunFramed(const std::string& status, int steps, const char* failure, const std::function<void()>& body)
{
    if (GetFlag(CommandKeys::LoggingOn)) return;
    SetText(CommandKeys::StatusLineSpecialPanel, status);
    SetNumber(CommandKeys::localPBarMax, steps);
    try {
        body();
    } catch (...) {
        platform::ShowMessage(QString::fromLatin1(failure));
    }
    SetText(CommandKeys::StatusLineSpecialPanel, "");
}
