#pragma once

// The process entry: single-instance guard, splash window, main window, the
// command-line extensions (demo mode, port mapping, start page, screenshot).
int runQuendrix(int argc, char** argv);
