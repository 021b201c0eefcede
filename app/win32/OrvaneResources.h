#pragma once
// Resource ids of Orvane.exe, shared by its resource script and its code.

#define ORVANE_ICON 1
