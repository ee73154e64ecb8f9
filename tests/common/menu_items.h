// The popup menu's setting items by the names a user reads, so that a failure
// says "checked: random, fitful" rather than a row of numbers.
#ifndef QUILLET_TEST_MENU_ITEMS_H
#define QUILLET_TEST_MENU_ITEMS_H

#include <windows.h>

#include <functional>
#include <string>

#include "resources/resource.h"

struct MenuItem {
    UINT id;
    const char *name;
};

const MenuItem MENU_ITEMS[] = {
    {IDM_WIND_MEMORY, "memory"},  {IDM_WIND_RANDOM, "random"},      {IDM_BREEZE, "breeze"},
    {IDM_TYPHOON, "typhoon"},     {IDM_FITFUL, "fitful"},           {IDM_VOL_LOUDER, "louder"},
    {IDM_VOL_NORMAL, "normal"},   {IDM_VOL_QUIETER, "quieter"},     {IDM_VOL_RANDOM, "random volume"},
    {IDM_VOL_OFF, "OFF"},         {IDM_SENS_HIGH, "high"},          {IDM_SENS_MEDIUM, "medium"},
    {IDM_SENS_LOW, "low"},        {IDM_HANG_WINDOW, "on a window"}, {IDM_HANG_FREE, "freely"},
    {IDM_HANG_FRONT, "in front"},
};

inline const char *ItemName(UINT id)
{
    for (const MenuItem &item : MENU_ITEMS)
        if (item.id == id)
            return item.name;
    return "(no such item)";
}

// The checked items in the menu's order, then the grayed ones, from each item's state.
inline std::string MarksOf(const std::function<UINT(UINT id)> &state)
{
    std::string checked, grayed;
    for (const MenuItem &item : MENU_ITEMS) {
        UINT marks = state(item.id);
        if (marks & MF_CHECKED)
            checked += (checked.empty() ? "" : ", ") + std::string(item.name);
        if (marks & MF_GRAYED)
            grayed += (grayed.empty() ? "" : ", ") + std::string(item.name);
    }
    return "checked: " + checked + (grayed.empty() ? "" : "; grayed: " + grayed);
}

#endif
