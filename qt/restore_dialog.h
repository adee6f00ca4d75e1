// "Restore backup…": the backups of the backup folder, newest first, with their time, callsign and
// generation, to pick the one to put back on the tracker.
#pragma once

#include "link/backup_folder.h"

class QWidget;

// false when the user chose none, or there is none to choose (which the window is told).
bool chooseBackup(QWidget* parent, Backup& chosen);
