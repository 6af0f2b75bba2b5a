#pragma once

// Qt keeps settings of its own (the file chooser's history, the folders it visited, its sidebar) in QtProject.conf
// under the user's configuration folder unless told otherwise. They go where ours go instead: beside the portable
// edition, so that it leaves nothing on the computer it runs on, and into our own settings folder for the installed
// one. Called at start, before any chooser is shown.
void KeepQtSettingsWithOurs();
