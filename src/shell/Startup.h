#pragma once

#include "DataFolder.h"

// The program's start-up before its main window: enters the data folder and
// tells the student, in the application's message box, what went wrong on
// the way.
namespace Startup {

DataFolder::Outcome EnterDataFolder(const QString& programDir);

} // namespace Startup
