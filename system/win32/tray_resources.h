#pragma once
// Resource ids of the tray pictures, shared by the resource fragment and the code.
#define IDI_TRAY_GREY 101
#define IDI_TRAY_RED 102
#define IDI_TRAY_GREEN_RED 103
#define IDI_TRAY_GREEN 104
