// Resource and control identifiers of the main window, shared by the resource script, the view
// and the window tests.
#pragma once

#define IDI_QUORVEL 1

// Menu commands.
#define IDM_EXIT 40001
#define IDM_ABOUT 40002
#define IDM_LOADINSTALLED 40010

// Timers of the main window: the blinking warnings of the two settings pages.
#define IDT_WARNING 1
#define IDT_WARNING40 2

// Children of the main window.
#define IDC_TBSMAIN 30000
#define IDC_FMEINTRO 30001
#define IDC_FMESYSINFO 30002
#define IDC_FMESETTINGS 30003
#define IDC_FMESETTINGS40 30004

// Children of fmeIntro.
#define IDC_INTRO_FIRST 30100

// Children of fmeSysInfo.
#define IDC_GRPDRIVER 30200
#define IDC_GRPDRIVER_CAPTION 30201
#define IDC_GRPGENERAL 30202
#define IDC_GRPGENERAL_CAPTION 30203
#define IDC_GRPSUMMARY 30204
#define IDC_GRPSUMMARY_CAPTION 30205
#define IDC_CAPDEVICEDESC 30210
#define IDC_CAPDETVER 30211
#define IDC_CAPFORMATCAPABILITY 30212
#define IDC_CAPFORMATUSAGE 30213
#define IDC_CAPFORMATHEXADECIMAL 30214
#define IDC_CAPOS 30215
#define IDC_LBLDEVICEDESC 30220
#define IDC_LBLDETVER 30221
#define IDC_LBLFORMATCAPABILITY 30222
#define IDC_LBLFORMATUSAGE 30223
#define IDC_LBLFORMATHEXADECIMAL 30224
#define IDC_LBLOS 30225
#define IDC_LBLSUMMARY 30226
#define IDC_OBTVERERROR40 30230
#define IDC_OBTVERERROR28 30231
#define IDC_LBLSUPPORTNOTE 30232
#define IDC_CAPINSTALLEDTABLE 30240
#define IDC_LBLINSTALLEDTABLE 30241
