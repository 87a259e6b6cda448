#pragma once

#include <cstddef>
#include <string>

namespace pagesmith::platform {

enum class StandardStream { Output, Error };

// Sets the standard streams up once at start. On Linux a report written to a
// pipe whose reader has gone ("| head -1") is lost, nothing more: no SIGPIPE
// ends the conversion. On Windows they pass bytes as they are (no CR before
// each LF, so a report saved from either system holds the same bytes), and a
// console the system opened for this process alone (a start from Explorer)
// is closed again.
void prepareStandardStreams();

// Whether the command line's messages belong on the standard streams even at
// a screen: on Windows when the program was started from a console or with
// its output sent to a file or pipe (started from Explorer it has neither,
// and its results come in message boxes); on Linux never, as a program
// started from a desktop's terminal shows its boxes there.
bool prefersTextOutput();

// Whether the stream is a terminal or console a user reads.
bool isConsole(StandardStream stream);

// The console's width in columns; 0 when unknown.
std::size_t consoleColumns(StandardStream stream);

// Writes UTF-8 text to the stream, after what stdio holds for it: to a
// console as characters, elsewhere as the bytes given. False when it cannot
// be written whole.
bool writeToStream(StandardStream stream, const std::string& text);

} // namespace pagesmith::platform
