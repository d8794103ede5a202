#pragma once

class QWidget;

// When the automatic backup runs and how its troubles reach the user: never while a handler
// runs, never silently, and each trouble once.
namespace AutoBackupSchedule {

// At start-up, before the user can do anything: tells what went wrong with the backup at the
// last end, then backs up when the newest automatic backup is older than a day (or there is
// none); a trouble with that one is told at once.
void atStart(QWidget* owner);

// At an orderly end, after the event loop has stopped; a trouble is kept to be told at the
// next start.
void atExit();

} // namespace AutoBackupSchedule
