#include "pollard/notices.h"

#include "platform/messages.h"
#include "platform/process_wide.h"

namespace pollard {

void SendStatus(int status)
{
    platform::SendMessage(platform::MainForm(), platform::WM_COMM_STATUS, static_cast<uintptr_t>(status), 0);
}

void SendProgress(int done)
{
    platform::SendMessage(platform::MainForm(), platform::WM_COMM_PROGRESS, static_cast<uintptr_t>(done), 1);
}

}  // namespace pollard
