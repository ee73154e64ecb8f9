// The chime window: its shape, painting, presses, hanging, menu and tray icon.
#ifndef QUILLET_WINDOW_H
#define QUILLET_WINDOW_H

#include <windows.h>

#include "../wind/wind.h"

#define POSES 6

// Interaction state: which fan phase the next click shows, or the menu is up.
#define FAN_PHASE_ONE 0
#define FAN_PHASE_TWO 1
#define MENU_OPEN 2
extern BYTE interactionState;

// The window property that holds the region last given to the window.
#define REGION_PROPERTY "region"

// The shape of each pose, made once when the window is created.
extern HRGN poseRegions[POSES];

LRESULT CALLBACK ChimeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the chime window's class, named after the product, for appInstance.
ATOM RegisterChimeClass(void);

// Shows what a step of the wind changed: the tray icon and tip, the shape of
// the pose and, when that changed, the picture.
void ShowWindStep(HWND window, const WindStep &step);

// Region of every pixel of the bitmap that differs from the key colour
// (COLORREF layout; -1 takes the key from the bottom-left pixel). Null on failure.
HRGN RegionFromBitmap(HBITMAP bitmap, COLORREF key);

// Gives the window a copy of the current pose's region when the pose has
// changed since the last call: 1 when it did, 0 otherwise.
int ApplyPoseRegion(HWND window);

// The chime's pictures (pictures.cpp): loaded with the pose shapes, painted, freed.
void LoadChimePictures(void);
void PaintChime(HWND window);
void FreeChimePictures(void);
// Gauge row of the strip for a memory usage percentage: -1 for the chime
// bitmap's own lower half, otherwise the gauge level 0 to 7.
int GaugeLevel(int usage);

// Mouse, menu and tray handling (pointer.cpp).
LRESULT OnSetCursor(HWND window);
LRESULT OnNcButtonDown(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void ShowChimeMenu(HWND window);
void OnTrayIcon(HWND window, WPARAM id, LPARAM mouseMessage);

// Moves the chime (now at own) beside the top right corner of the foreground window.
void HangOnForegroundWindow(HWND window, const RECT &own);

// The popup menu (menu.cpp): its marks and grayed items follow the settings,
// each changed group written at once; its commands.
void ApplyMenuState(HWND window);
BOOL IsMenuCommand(WORD id);
LRESULT OnMenuCommand(HWND window, WORD id);
// Tells the user why the memory wind cannot blow, before any window exists,
// and grays its item.
void TellMeterMissing(const char *why);

#endif
