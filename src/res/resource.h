#pragma once
// Resource and control ids. The numbers are fixed: other programs and the
// panels' code find the templates and their controls by them.
#define IDI_APP 101

// Dialog templates.
#define IDD_SETTINGS_PANEL 137
#define IDD_INSTALL_GUIDE 139
#define IDD_STATUS_PANEL 142
#define IDD_SUCCESS_PANEL 149
#define IDD_CLIENT_VALIDATOR 172

// Settings panel.
#define IDC_INSTALL 133
#define IDC_ACCEPT_CHECK 134
#define IDC_ACCEPT_LABEL 135
#define IDC_SETTINGS_HEADING 136
#define IDC_SETTINGS_EXPANDER 138
#define IDC_FOLDER_LABEL 140
#define IDC_LANGUAGE_COMBO 141
#define IDC_FOLDER_EDIT 143
#define IDC_BROWSE 148
#define IDC_LICENSE_LINK 152
#define IDC_LANGUAGE_LABEL 174

// Status panel; the progress bar and the slideshow are created at run time.
#define IDC_PROGRESS_BAR 105
#define IDC_STATUS_TEXT 122
#define IDC_PERCENT_TEXT 123
#define IDC_SLIDESHOW 170
#define IDC_TIME_TEXT 173

// Success panel.
#define IDC_START_NOW 1  /* IDOK: Enter on the panel means Start Now */
#define IDC_LAUNCH_CHECK 150
#define IDC_LAUNCH_LABEL 151

// Validation dialog.
#define IDC_VALIDATION_PROGRESS 171
