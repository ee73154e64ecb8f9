#include "settings.h"

Settings settings;

void LoadSettings(void)
{
}

void SaveSettings(void)
{
}

void WriteSetting(const char *, const char *, int)
{
}
