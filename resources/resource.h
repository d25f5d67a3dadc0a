#pragma once

// Resource identifiers shared by the resource script and the program.

// The program's icon (32x32 and 16x16, 16 colours); the lowest id, so Explorer shows it.
#define IDI_TVXSETUP 1

// Pictures, stored as PNG (RCDATA) and drawn unscaled.
#define IDP_SETUP_BACKGROUND 101      // wizard background, 640x480
#define IDP_MESSAGEBOX_BACKGROUND 102 // message box background, 480x320
#define IDP_ICON_INFO 103             // 78x59
#define IDP_ICON_QUESTION 104         // 78x58
#define IDP_ICON_ERROR 105            // 78x59
#define IDP_ICON_WARNING 106          // 78x59
