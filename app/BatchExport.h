#pragma once

struct CommandLine;

// brv32-sepa --export KEY: selects every open invoice of the node in the range,
// as the window would list it, and runs the same export run without a window.
// Exit status: 0 the payment file was published and posted; 1 the run ended
// without one; 2 refused command line, unusable settings or no database.
int runBatchExport(const CommandLine& cl);
