#pragma once
// Where the program keeps files "beside the executable" (settings, recent
// list, autosave). An installed program's folder is often not writable; then
// the per-user configuration folder is used instead.

#include <QString>

namespace AppPaths {

// Folder of the running executable.
QString ExecutableDir();
// Base name of the running executable, without suffix ("Tallowin").
QString ExecutableBaseName();

// Full path for `fileName` beside the executable, or in the per-user
// configuration folder when the executable's folder cannot be written.
// The first fallback of a run is logged with the folder that is used.
QString BesideExecutable(const QString& fileName);

// Tests point the "beside the executable" folder elsewhere; empty resets.
void SetBaseDirOverride(const QString& dir);

}
