#include "tevrin/shell/app_flags.h"

namespace AppFlags {

uint8_t RelaunchRequested = 0;

}  // namespace AppFlags
