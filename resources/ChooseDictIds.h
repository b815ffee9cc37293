// Resource ids of the dictionary chooser's layout (ChooseDict.rc): 300-319.
#pragma once
#define IDD_CHOOSEDICT 300
#define IDC_CHOOSE_LBFILES 301
#define IDC_CHOOSE_PNLBOTTOM 302
#define IDC_CHOOSE_CHBDOSORT 303
