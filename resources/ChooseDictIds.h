// Resource ids of the dictionary chooser's layout (ChooseDict.rc): 300-319.
#pragma once
#define IDD_CHOOSEDICT 300
#define IDC_CHOOSE_LBFILES 301
#define IDC_CHOOSE_PNLBOTTOM 302
#define IDC_CHOOSE_CHBDOSORT 303
#define IDC_CHOOSE_UDMOVE 304
// Commands of the list's keys and its menu.
#define IDM_CHOOSE_TICK 310
#define IDM_CHOOSE_MOVEUP 311
#define IDM_CHOOSE_MOVEDOWN 312
