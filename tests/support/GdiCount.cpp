#include "support/GdiCount.h"

#include <windows.h>

#include <vector>

namespace ovek::test {

long GdiObjectCount() {
    if (DWORD held = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(held);
    // Fill what is left of the table with the cheapest object, then free it.
    std::vector<HRGN> probes;
    probes.reserve(70000);
    while (probes.size() < 200000) {
        HRGN r = ::CreateRectRgn(0, 0, 1, 1);
        if (!r) break;
        probes.push_back(r);
    }
    for (HRGN r : probes) ::DeleteObject(r);
    return -static_cast<long>(probes.size());
}

}  // namespace ovek::test
