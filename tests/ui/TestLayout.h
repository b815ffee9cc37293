#pragma once
#define IDD_TESTLAYOUT 900
#define IDC_TESTPANEL 901
#define IDC_TESTBUTTON 902
#define IDC_TESTEDIT 903
#define IDB_TESTSTRIP 910
// A sizeable overlapped window, of the main form's kind.
#define IDD_OVERLAPPEDLAYOUT 911
// Layouts the reader must refuse, each with its own fault.
#define IDD_NOTEX 920
#define IDD_ENDSBEFOREITEM 921
#define IDD_ENDSBEFOREALIGNEDITEM 922
#define IDD_UNKNOWNCLASS 923
#define IDD_NOPANEL 924
#define IDD_UNREGISTEREDCLASS 925
#define IDD_MISSING 926
