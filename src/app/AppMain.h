#pragma once

class CommandLine;

// Runs the tray application (or its snapshot mode) until it quits; returns the process's exit
// status.
int runPobi(int& argc, char** argv, const CommandLine& line);
