#include "tevrin/pages/page_host.h"

namespace {
IPageHost* g_host = nullptr;
}

IPageHost::~IPageHost()
{
    if (g_host == this) g_host = nullptr;
}

IPageHost* PageHost() { return g_host; }

void SetPageHost(IPageHost* host) { g_host = host; }
