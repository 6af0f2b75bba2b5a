#pragma once

// Lets the calling thread give way to the program's other threads, above all the one that runs the window, whenever
// they compete for a processor. Long background work calls it first so that the window keeps answering on a busy
// machine; with a processor to spare the work runs as fast as before. Failing to change it changes nothing else.
void YieldToOtherThreads();
