// Ctrl-C, Ctrl-\, SIGTERM and SIGHUP (on Windows Ctrl-C, Ctrl-Break and closing the console) become a
// request that a device command looks at between ticks: a read or a probe then stops at once,
// while an image under way is finished first, so that the tracker never keeps half of one.
// interrupts_posix.cpp and interrupts_win32.cpp implement it; CMake picks one.
#pragma once

void catchInterrupts();
bool interruptRequested();

// On Windows a closing console ends the program when its handler returns: while a write is under
// way the handler waits for it (a few seconds at most). Nothing to do elsewhere.
void setWriteUnderWay(bool underWay);
