// What kavrelcfg and the window keep in the user's state folder (the backups, the records of
// writes under way): the folder of each, and the local time their names and contents carry.
// state_folder_posix.cpp and state_folder_win32.cpp tell where the user's state folder is, and how
// the system's shell quotes a word of the commands the records and messages give.
#pragma once

#include <string>

// $XDG_STATE_HOME, else ~/.local/state (Linux, macOS); %LOCALAPPDATA% (Windows). false with why
// when the environment names none.
bool userStateFolder(std::string& folder, std::string& why);

// The word as the system's shell takes it back unchanged: 'it''s' quoting on POSIX, "..." on
// Windows; plain when it needs none.
std::string shellWord(const std::string& word);

// Where kavrelcfg/NAME lies in the user's state folder, described in messages as `what` ("the
// backup folder"). false with error when the environment names no state folder.
bool stateFolder(const char* name, const char* what, std::string& folder, std::string& error);
// The same, made where it is missing; false with error, which names a dangling link on the way.
bool makeStateFolder(const char* name, const char* what, std::string& folder, std::string& error);

// The local time as a file name holds it (20261207-130501) or as a person reads it
// (2026-12-07 13:05:01).
enum class TimeShape { FileName, Text };
std::string localTimeText(TimeShape shape);
