#pragma once

#include <memory>

struct CommandLine;

// brv32-sepa --export KEY: selects every open invoice of the node in the range,
// as the window would list it, and runs the same export run without a window.
// Exit status: 0 the payment file was published and posted; 1 the run ended
// without one; 2 refused command line, unusable settings or no database; 3
// published and posted, but a report, the log or the CSV file is missing.
// leftovers, when given, takes what a finished run built and no longer
// needs, for the caller to let go of at its own time.
int runBatchExport(const CommandLine& cl, std::shared_ptr<const void>* leftovers = nullptr);
