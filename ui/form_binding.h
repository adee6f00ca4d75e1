// Moves values between the main dialog's controls and the settings of the one Configurator, and
// enables the controls that the tracker's firmware generation supports. The form is not bound
// live: the settings change only when readForm runs.
#pragma once

#include <windows.h>

// Controls to settings. Numbers are read as atoi does and cut to their field's width; the
// frequency as atof does in the C locale, rounded to single precision.
void readForm(HWND dialog);
// Settings to controls: whole numbers with "%d", the frequency with "%3.3f".
void writeForm(HWND dialog);
// Enables "Invert CD", "Send with Weather" and "Allow TTL Serial" from generation 2, "TX Twist"
// from 3, and "Frequency" for generation 4 only.
void updateEnables(HWND dialog);
