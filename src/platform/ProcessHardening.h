#pragma once

// Keeps the decrypted database out of core files and away from other processes of the same user: no core file is
// written, and the process is not dumpable, so that ptrace and /proc/PID/mem need privileges. Call it first thing in
// main, before any secret is in memory. Returns false when one of the two could not be set; the program goes on.
bool HardenProcess();
