// The Save and Load dialogs: the platform's own where it has them, with the Windows program's
// filter. Both answer the chosen path, or an empty text when the user cancelled.
#pragma once

#include <string>

class QWidget;

// Suggests config1.kvr every time and asks before replacing a file.
std::string chooseFileToSave(QWidget* parent);
// Starts with no name; the file need not exist (the load then says so).
std::string chooseFileToLoad(QWidget* parent);
