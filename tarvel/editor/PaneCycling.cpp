#include "editor/PaneCycling.h"

namespace tarvel {

int NextPane(int count, int active)
{
    if (count < 1)
        return active;
    return active + 1 > count - 1 ? 0 : active + 1;
}

int PreviousPane(int count, int active)
{
    if (count < 1)
        return active;
    return active - 1 < 0 ? count - 1 : active - 1;
}

} // namespace tarvel
