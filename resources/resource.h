// Resource and command ids, shared by the resource script and the program.
#ifndef QUILLET_RESOURCE_H
#define QUILLET_RESOURCE_H

#define IDI_PROGRAM 103
#define IDI_TRAY 125
#define IDI_TRAY_ALT 127

#define IDCUR_FAN1 142
#define IDCUR_FAN2 143
#define IDCUR_HAND 145

#define IDB_CHIME_FIRST 128 /* 128 + pose */

#define IDR_CHIME_MENU 111
#define IDD_ABOUT 150

/* Popup menu commands */
#define IDM_EXIT 40006
#define IDM_WIND_MEMORY 40009
#define IDM_WIND_RANDOM 40010
#define IDM_SENS_LOW 40012
#define IDM_SENS_MEDIUM 40013
#define IDM_SENS_HIGH 40014
#define IDM_ABOUT 40015
#define IDM_HELP 40016
#define IDM_HANG_WINDOW 40017
#define IDM_HANG_FREE 40018
#define IDM_HANG_FRONT 40025
#define IDM_BREEZE 40026
#define IDM_TYPHOON 40027
#define IDM_FITFUL 40028
#define IDM_VOL_LOUDER 40030
#define IDM_VOL_NORMAL 40031
#define IDM_VOL_QUIETER 40032
#define IDM_VOL_RANDOM 40033
#define IDM_VOL_OFF 40034

/* About dialog controls */
#define IDC_HOMEPAGE 1000
#define IDC_MAIL 1001
#define IDC_MEMORY_LINE 1002
#define IDC_SOUND_LINE 1003

/* The maker's addresses, shown on the About buttons and opened from them */
#define MAKER_HOMEPAGE "https://example.org/"
#define MAKER_MAIL "quillet@example.org"

#endif
