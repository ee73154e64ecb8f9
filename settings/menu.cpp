#include "settings.h"

void ApplyMenuState(HWND)
{
}
