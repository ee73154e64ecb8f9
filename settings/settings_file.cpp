#include "settings.h"

Settings settings;

void LoadSettings(void)
{
}

void SaveSettings(void)
{
}
