#include "WindowPeer.h"

namespace {
CWindowSystem* g_pWindowSystem = nullptr;
}

void AfxSetWindowSystem(CWindowSystem* system)
{
    g_pWindowSystem = system;
}

CWindowSystem* AfxGetWindowSystem()
{
    return g_pWindowSystem;
}
