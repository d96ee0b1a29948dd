// Every resource and command id of Voldix, grouped by kind.
#pragma once

// Dialog templates
#define IDD_VOLDIX_DIALOG 102
// Drive filter dialogs
#define IDD_DRIVE_TYPES 138
#define IDD_DRIVE_LETTERS 139
// Confirmation and error message dialogs of the read-only change
#define IDD_CONFIRM 151
#define IDD_ERROR_MSG 153
// Log viewer
#define IDD_LOG_VIEWER 154

// About box, mini help and dedication
#define IDD_ABOUTBOX 100
#define IDD_DEDICATION 152
#define IDD_MINIHELP 157

// Menus
#define IDR_MAINMENU 137
// Log viewer
#define IDR_LOG_MENU 155

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
// The error message's lamp drawn for screens of 150 and 200 % scale
#define IDR_AVI_LAMP_150 160
#define IDR_AVI_LAMP_200 161
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

// Drive types dialog controls
#define IDC_TYPES_REMOVABLE 1006
#define IDC_TYPES_CDROM 1007
#define IDC_TYPES_NETWORK 1008

// Drive letters dialog controls: A to N are 1015 to 1028, O to Z 1041 to 1052
#define IDC_LETTERS_GROUP 1014
#define IDC_LETTERS_A 1015
#define IDC_LETTERS_B 1016
#define IDC_LETTERS_C 1017
#define IDC_LETTERS_D 1018
#define IDC_LETTERS_E 1019
#define IDC_LETTERS_F 1020
#define IDC_LETTERS_G 1021
#define IDC_LETTERS_H 1022
#define IDC_LETTERS_I 1023
#define IDC_LETTERS_J 1024
#define IDC_LETTERS_K 1025
#define IDC_LETTERS_L 1026
#define IDC_LETTERS_M 1027
#define IDC_LETTERS_N 1028
#define IDC_LETTERS_O 1041
#define IDC_LETTERS_P 1042
#define IDC_LETTERS_Q 1043
#define IDC_LETTERS_R 1044
#define IDC_LETTERS_S 1045
#define IDC_LETTERS_T 1046
#define IDC_LETTERS_U 1047
#define IDC_LETTERS_V 1048
#define IDC_LETTERS_W 1049
#define IDC_LETTERS_X 1050
#define IDC_LETTERS_Y 1051
#define IDC_LETTERS_Z 1052

// Confirmation dialog controls
#define IDC_CONFIRM_YES 1016
#define IDC_CONFIRM_NO 1017
#define IDC_CONFIRM_TEXT 1019

// Error message dialog controls
#define IDC_ERROR_LAMP 1020
#define IDC_ERROR_TEXT 1021

// Log viewer controls
#define IDC_LOG_TEXT 1026

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
// Log viewer commands
#define ID_LOG_CLOSE 40015
#define ID_LOG_DELETE 40016
