#pragma once

class CommandLine;

// Runs the tray application (or its snapshot mode) until it quits, or hands the command line's
// request to the Pobi already running and prints its answer; returns the process's exit status.
int runPobi(int& argc, char** argv, const CommandLine& line);

// Asks the running Pobi what runs and prints the answer: status 0, or 1 when no Pobi answers.
// Never starts one.
int askStatus(int& argc, char** argv, const CommandLine& line);
