// Identifiers of the main dialog's template and controls. Kept to plain #defines, so that both
// resource compilers (windres and rc) and the C++ code read the same file; for the same reason
// the guard is a plain #ifndef. A setting's control is named IDC_ and the setting's name in upper
// snake case (form/setting_controls.h).
#ifndef KAVREL_FORM_CONTROL_IDS_H
#define KAVREL_FORM_CONTROL_IDS_H

#define IDD_MAIN 129

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// "Quit" is the dialog's Cancel button, so that Esc quits too; <windows.h> has the same definition.
#ifndef IDCANCEL
#define IDCANCEL 2
#endif

// Port selection and device commands ("Configure" group).
#define IDC_PORT 1000
#define IDC_READ_VERSION 1001
#define IDC_READ_CONFIG 1002
#define IDC_WRITE_CONFIG 1003

// Configuration files.
#define IDC_SAVE 1004
#define IDC_LOAD 1005

// The status line: shows the Configurator's status message.
#define IDC_STATUS_LINE 1006

// Station.
#define IDC_CALLSIGN 1007
#define IDC_PATH 1008
#define IDC_CALLSIGN_LABEL 1011
#define IDC_PATH_LABEL 1012

// Timing.
#define IDC_AUTO_TX_DELAY_MS 1009
#define IDC_AUTO_TX_RATE_SEC 1010
#define IDC_AUTO_TX_DELAY_MS_LABEL 1013
#define IDC_AUTO_TX_RATE_SEC_LABEL 1015
#define IDC_AUTO_TXD_UNIT 1017
#define IDC_AUTO_TX_RATE_UNIT 1019
#define IDC_QUIET_TIME_MS 1068
#define IDC_QUIET_TIME_MS_LABEL 1069
#define IDC_QUIET_TIME_UNIT 1070
#define IDC_CALIBRATION 1082
#define IDC_CALIBRATION_LABEL 1083

// Weather-station mode (two radio buttons).
#define IDC_WX200_MODE 1014
#define IDC_PEET_MODE 1016

// Switches.
#define IDC_ALLOW_TTL_SERIAL 1028
#define IDC_INVERT_CD 1029
#define IDC_SEND_WITH_WEATHER 1030
#define IDC_TX_TWIST 1031

// Status report.
#define IDC_SEND_EVERY 1036
#define IDC_SEND_EVERY_LABEL 1037
#define IDC_STATUS_TEXT 1038
#define IDC_STATUS_TEXT_LABEL 1087

// Radio frequency.
#define IDC_FREQUENCY_MHZ 1084
#define IDC_FREQUENCY_MHZ_LABEL 1085
#define IDC_FREQUENCY_UNIT 1086

// Test tones.
#define IDC_SEND_1200 1089
#define IDC_SEND_2200 1090
#define IDC_SEND_BOTH 1091
#define IDC_STOP_TEST 1092

#endif
