#pragma once
#include <QString>

// Replacing the program file in place without ever leaving a broken one behind.
//
// A new build is first written completely to StagingPath() beside the program (same directory,
// so the same file system), flushed to disk and checked. InstallStagedProgram() then keeps the
// current program as BackupPath() and renames the staged file over the program in one step: at
// every moment the program path names either the whole old build or the whole new one. A
// download that stops half-way leaves only the staging file, which the next attempt overwrites.

QString StagingPath(const QString &programPath); // "<program>.part"
QString BackupPath(const QString &programPath);  // "<program>.old"

// Makes the staged file the program, keeping the previous one as the backup (replacing an older
// backup) and giving the new file the old one's permissions. On failure the program file is as
// it was, the staged file is removed, and *error says why.
bool InstallStagedProgram(const QString &programPath, QString *error);

// Puts the backup back as the program, again in one rename. The build it replaces becomes the
// backup, so a second call undoes the first. False (with *error) when there is no backup.
bool RollbackProgram(const QString &programPath, QString *error);

// Flushes a written file's contents to disk (fsync); false when the system refuses.
bool SyncFile(int fd);
