// Every number the resource scripts and the code share: the ids of the embedded resources and
// the private window messages. Each is written here once; the .rc files and the C++ take it from
// here. The resource compiler reads this file too, so everything outside the RC_INVOKED block
// stays plain #defines.
#ifndef XCYH2_RESOURCES_RESOURCEIDS_H
#define XCYH2_RESOURCES_RESOURCEIDS_H

// The program's icon group (the executables' icon and every window class's icon).
#define IDI_XCYH2 1
// The application manifest (common controls 6, run as the invoking user).
#define IDR_XCYH2_MANIFEST 1

// Custom type "PNG": the translucent pictures (sizes in resources/PictureSizes.h).
#define IDR_PNG_LOGIN_BG 101  // the login window's background
#define IDR_PNG_LOADING 102   // the start-up loading picture

// Custom type "GIF": the login window's buttons.
#define IDR_GIF_MINI 101   // minimise, 28 x 28
#define IDR_GIF_CLOSE 102  // close, 34 x 34

// Custom type "ICON": the whole icon file, written out for the windows' icons.
#define IDR_ICON_FILE 101

// Custom type "UPDATE": the updater program, carried inside the shell.
#define IDR_UPDATER 101

// Bitmaps: the main window's buttons and logo, the tab strip's skins, the title bar's skin.
#define IDB_BTN_MIN 101
#define IDB_BTN_MAX 102
#define IDB_BTN_CLOSE 103  // also the updater's and the dialogs' close button
#define IDB_BTN_TOOL 104
#define IDB_LOGO 105
#define IDB_TAB_SKIN0 106  // tab strip style 0
#define IDB_TAB_SKIN1 107  // tab strip style 1
#define IDB_TITLE_SKIN 108

// The Windows tests' own pictures (tests/data): one with known alpha values, one undecodable.
#define IDR_TEST_PNG_ALPHA 900
#define IDR_TEST_PNG_BROKEN 901

#ifndef RC_INVOKED
// Private window messages. Each is private to one window class, so two classes may share a number.

// The tray icon's mouse notifications to the main window (wParam: the icon's id).
#define XCYH2_WM_TRAY 6242
// LoadFrm: load the login window once start-up has returned to the message loop.
#define XCYH2_WM_LOAD_LOGIN (WM_APP + 1)
// The built-in browser: a Navigate call run from the message loop; a fetch done (wParam: its id).
#define XCYH2_WM_BROWSER_NAVIGATE (WM_APP + 1)
#define XCYH2_WM_BROWSER_FETCH_DONE (WM_APP + 2)
// WebMainFrm: commands the window posts to itself, run once the message that asked has unwound.
#define XCYH2_WM_CLOSE_COMMAND (WM_APP + 62)
#define XCYH2_WM_UPDATE_COMMAND (WM_APP + 63)
#endif  // RC_INVOKED

#endif  // XCYH2_RESOURCES_RESOURCEIDS_H
