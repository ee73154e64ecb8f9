// The wind kinds and what sets them apart, one row each.
#include "wind.h"
#include "../settings/settings.h"

static const WindKind WIND_KINDS[] = {
    // kind        gust divisor  ring draw below  plus a draw below
    {WIND_BREEZE, 50, 30, 0},
    {WIND_TYPHOON, 10, 4, 0},
    {WIND_FITFUL, 30, 15, 30},
};

const WindKind *FindWindKind(BYTE win_str)
{
    for (const WindKind &kind : WIND_KINDS)
        if (kind.win_str == win_str)
            return &kind;
    return NULL;
}
