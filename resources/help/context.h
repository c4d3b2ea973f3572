/* Help topic numbers: each control of the main window carries one of these. */
#define IDH_DEVICE_LIST 1
#define IDH_PROPERTIES 2
#define IDH_DEVICE_MANAGER 3
#define IDH_CLOSE 4
#define IDH_LOGO 5
