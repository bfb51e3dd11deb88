// Resource and control ids of the about dialog.
#pragma once

#define IDD_ABOUT 200
#define IDB_ABOUT_LOGO 201

#define IDC_ABOUT_LOGO 101
#define IDC_ABOUT_IMGINFO 102
#define IDC_ABOUT_TITLE 103
#define IDC_ABOUT_VERSION 104
#define IDC_ABOUT_BY 105
#define IDC_ABOUT_MAKER 106
#define IDC_ABOUT_DOTCOM 107
#define IDC_ABOUT_COPYRIGHT 108
