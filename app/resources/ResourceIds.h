#pragma once

// Shared by the .rc script and the Win32 code. The tray pictures keep the order of the image list
// the windows feed their tray icon from: 1 idle, 2 while a run works, 3 after a run.
#define IDI_TIDEWELL 1
#define IDI_TRAY_IDLE 101
#define IDI_TRAY_WORKING 102
#define IDI_TRAY_DONE 103
