#include "tevrin/rtdb/version_state.h"

#include <atomic>

namespace {
std::atomic<int> g_versionKnown{1};
}

void VersionState::SetVersionKnown(int known) { g_versionKnown = known; }

int VersionState::VersionKnown() { return g_versionKnown; }
