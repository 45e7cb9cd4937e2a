// The command line and the console of a command-line program on this system: the
// arguments as UTF-8, the console set up for UTF-8 output, its width, and Ctrl+C.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace arti::platform {

// The program's arguments after its name, as UTF-8 texts. On Windows they are taken
// from the wide command line, so that names outside the ANSI code page arrive whole;
// elsewhere they are `argv` as given.
std::vector<std::string> commandArguments(int argc, char** argv);

// Makes the standard streams write UTF-8 bytes unchanged: on Windows the console's
// output code page becomes UTF-8 and the streams are binary (no LF to CR LF).
void prepareConsole();

// Whether the standard output (or the standard error) is a terminal.
bool outputIsTerminal();
bool errorIsTerminal();
// The terminal's width in columns, 0 when unknown.
std::size_t terminalWidth();

// Calls `handler` on the first Ctrl+C (and on a request to end, SIGTERM or the console's
// close); a second one ends the program at once. `handler` may only set a flag. A write
// beyond a file-size limit fails with an error instead of ending the program.
void onInterrupt(void (*handler)());

} // namespace arti::platform
