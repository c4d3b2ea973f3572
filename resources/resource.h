// Resource identifiers shared by the resource script and the window code.
#pragma once

#define IDI_PROGRAM 1
#define IDI_STATE_NORMAL 101
#define IDI_STATE_DISABLED 102
#define IDI_STATE_DRIVER_NOT_LOADED 103
#define IDB_LOGO 201
#define IDC_HAND_POINTER 301
#define IDM_WHATSTHIS_HELP 402
