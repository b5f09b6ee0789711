#pragma once

// The main of a benchmark that needs widgets: an offscreen Qt application around the runs.
int RunBenchmarksOffscreen(int argc, char** argv);
