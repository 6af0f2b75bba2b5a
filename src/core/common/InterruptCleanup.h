#pragma once

// Names of half-written files that SIGINT, SIGTERM and SIGHUP remove before the signal takes its course, for file
// systems where a file cannot be written without a name. The handler only reads a fixed table and calls unlink, so it
// is safe whatever the interrupted thread was doing. Whoever handled the signal before is called afterwards; where
// nobody did, the signal is raised again and ends the program as it would have.
namespace InterruptCleanup {
// Registers `path` to be removed on one of those signals. The handlers are in place only while some path is
// registered, and a signal the program ignores is left alone. Returns the slot to
// hand back to Forget, or -1 when the table is full or the path too long: the file is then still removed by the
// caller's own cleanup and by the next write into its folder, only not on a signal.
int RemoveOnSignal(const char* path);
// The file was renamed into place or removed: a signal must no longer touch its name.
void Forget(int slot);
} // namespace InterruptCleanup
