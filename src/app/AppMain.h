#pragma once

// Runs the tray application until the user quits; returns the process's exit status.
int runPobi(int& argc, char** argv);
