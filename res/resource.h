// Every resource and command id of Voldix, grouped by kind.
#pragma once

// Dialog templates
#define IDD_VOLDIX_DIALOG 102
// About box, mini help and dedication
#define IDD_ABOUTBOX 100
#define IDD_DEDICATION 152
#define IDD_MINIHELP 157

// Menus
#define IDR_MAINMENU 137

// Icons
#define IDR_MAINFRAME 128
#define IDI_CDROM 133
#define IDI_NETWORK 134
#define IDI_FIXED 135
#define IDI_REMOVABLE 136
#define IDI_FILE 152
#define IDI_FOLDER 153

// Cursors
#define IDC_CURSOR_ARROW 147
#define IDC_CURSOR_BUSY 149

// Animations (resource type "AVI"): error message, mini help, About box, dedication
#define IDR_AVI_LAMP 152
#define IDR_AVI_HELP 129
#define IDR_AVI_ABOUT 131
#define IDR_AVI_DEDICATION 132

// Strings (tooltips share the id of their control, prompts that of their command)
#define IDS_QUIT_TIP 2
#define IDS_ABOUTBOX 101
#define IDS_MINIHELP 102

// Main window controls
#define IDC_BACK 1000
#define IDC_LIST 1001
#define IDC_RESTART 1003

// About box, mini help and dedication controls
#define IDC_ABOUT_ICON 1004
#define IDC_ABOUT_COMMENT 1009
#define IDC_ABOUT_VERSION 1011
#define IDC_ABOUT_ANIMATION 1012
#define IDC_ABOUT_COPYRIGHT 1022
#define IDC_ABOUT_FEEDBACK 1023
#define IDC_DEDICATION_ANIMATION 1043
#define IDC_DEDICATION_TEXT 1044
#define IDC_HELP_TEXT 1047
#define IDC_HELP_ANIMATION 1048

// Commands
#define IDM_ABOUTBOX 16
#define ID_CTX_READONLY_CLEAR 110
#define ID_CTX_READONLY_SET 111
#define ID_CTX_EXPLORER 112
#define ID_OPT_TOPMOST 40003
#define ID_OPT_DRIVE_LETTERS 40007
#define ID_OPT_DRIVE_TYPES 40011
#define ID_OPT_VOLUME_LABEL 40012
#define ID_OPT_LOG 40013
#define ID_OPT_QUIT 40018
#define ID_OPT_DEFAULT_SIZE 40019
#define ID_INFO_UPDATE 40020
#define ID_MEMORIAL 32768
#define ID_HELP 57670
