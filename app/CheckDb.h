#pragma once

struct CommandLine;

// brv32-sepa --check-db: connects as start-up does and runs every statement
// family of the program in the dialect of that database, the writing ones in
// transactions that are rolled back. One German line per check on standard
// output. Exit status: 0 every check holds, 1 one failed, 2 no connection.
int runCheckDb(const CommandLine& cl);
