// A copy of the running test program that Wine runs as an older system (its
// per-program Version setting), limited to a test filter; the child learns its
// task from an environment variable and reports success with a marker file.
#pragma once

#include <string>

// The name of the variable that carries the child's task, and its marker.
extern const char kOlderSystemTaskVariable[];

// Runs the copy as version ("win95", "nt40", "winxp") with task in the task
// variable and only the tests of filter; true when it ran and passed.
bool RunAsOlderSystem(const char* version, const std::string& task, const std::string& filter);

// In the child: the task, or "" when this is no child.
std::string OlderSystemTask();

// In the child, at the end of its test: leaves the marker when nothing failed.
void ReportOlderSystemResult(bool passed);
