// The chime window: its shape, painting, presses, hanging, menu and tray icon.
#ifndef QUILLET_WINDOW_H
#define QUILLET_WINDOW_H

#include <windows.h>

#include "../wind/wind.h"

#define POSES 6

// The chime window's timers: the animation's tick, and a fan click's stroke.
#define ANIMATION_TIMER 1
#define FAN_TIMER 3

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

// Gives the window a copy of pose p's region; FALSE when none can be made.
BOOL GivePoseShape(HWND window, int p, BOOL redraw);
// Gives the window the current pose's shape when the pose has changed since
// the last shape given: 1 when it did, 0 otherwise.
int ApplyPoseRegion(HWND window);

// The chime's pictures (pictures.cpp): loaded with the pose shapes, painted, freed.
void LoadChimePictures(void);
void PaintChime(HWND window);
void FreeChimePictures(void);
// Gauge row of the strip for a memory usage percentage: -1 for the chime
// bitmap's own lower half, otherwise the gauge level 0 to 7.
int GaugeLevel(int usage);

// Mouse, menu and tray handling (pointer.cpp); a fan click arms FAN_TIMER.
LRESULT OnSetCursor(HWND window);
LRESULT OnNcButtonDown(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void FlipFan(void);
void ShowChimeMenu(HWND window);
void OnTrayIcon(HWND window, WPARAM id, LPARAM mouseMessage);

// Where the chime hangs (hanging.cpp): beside the top right corner of the
// foreground window (the chime now at own), or freely in the band given.
void HangOnForegroundWindow(HWND window, const RECT &own);
void PlaceFreely(HWND window, HWND band);

// The popup menu's setting groups (menu_groups.cpp): the marks and grayed
// items follow the settings, and each changed group is written at once.
void ApplyMenuState(HWND window);
// Sets the setting whose item the id is and applies; false when it is none.
bool ChooseMenuItem(HWND window, WORD id);
// Tells the user why the memory wind cannot blow, before any window exists,
// and grays its item.
void TellMeterMissing(const char *why);
// Every command of the popup menu (menu.cpp); other ids go to the default procedure.
LRESULT OnMenuCommand(HWND window, WPARAM wParam, LPARAM lParam);

#endif
