#pragma once
// Control and command ids of the main window. Other programs (and the end-to-end tests) find
// the main window's controls by these ids with GetDlgItem.
#define IDD_MAIN 100
#define IDC_TOOLBAR 1001
#define IDC_CBSEARCH 1002
#define IDC_RETOP1 1003
#define IDC_RETOP2 1004
#define IDC_REMEANING 1005
#define IDC_REBOTTOM2 1006
#define IDC_REBOTTOM1 1007
#define IDC_PNLTOP 1008
#define IDC_PNLTOP1 1009
#define IDC_BVLTOP 1010
#define IDC_BVLBOTTOM 1011
#define IDC_PNLBOTTOM1 1012
#define IDC_PNLBOTTOM 1013
// The label beside the tool bar that counts the matches of a search inside the entries.
#define IDC_LBLMATCHES 1020
// The line below the tool bar that names the dictionary forms of a typed form, or suggestions.
#define IDC_LNKFORMS 1021
// A message sent to the main window: it answers MAKELRESULT(taken, count), where count is the
// number of languages of word forms at hand and taken the number of them the window has taken in
// (loaded or turned off, and the search text looked up again with it). WM_APP + 0x5E7.
#define WM_LEXMORA_LANGUAGES 0x85E7

// Tool buttons and the popup menu's items (their shortcuts act through an accelerator table).
#define IDC_TBTNSTAYONTOP 1101
#define IDC_TBTNDICT 1102
#define IDC_TBTNOPTIONS 1103
#define IDC_TBTNHELP 1104
#define IDC_TBTNABOUT 1105
#define IDC_TBTNFINDINTEXT 1110
#define IDM_DICTIONARY 1201
#define IDM_STAYONTOP 1202
#define IDM_HELP 1203
#define IDM_OPTIONS 1204
#define IDM_FINDINTEXT 1210
#define IDM_NEXTMATCH 1211
#define IDM_PREVIOUSMATCH 1212

#define IDD_ABOUT 150

// The about box's controls.
#define IDC_ABOUT_IMGICON 1501
#define IDC_ABOUT_LBLAPPNAME 1502
#define IDC_ABOUT_LBLVERSION 1503
#define IDC_ABOUT_LBLSLOGAN 1504
#define IDC_ABOUT_LBLMAIL 1505
#define IDC_ABOUT_LBLEMAIL 1506
#define IDC_ABOUT_LBLWEB 1507
#define IDC_ABOUT_LBLWEBPAGE 1508
#define IDC_ABOUT_LBLCREDIT 1509
#define IDC_ABOUT_LBLCREDITWEBPAGE 1510
#define IDC_ABOUT_BVLLINE 1511
#define IDC_ABOUT_LBLCOPY 1512
#define IDC_ABOUT_BTNOK 1513
