#pragma once
// quillet-cli's standard output. Every write is checked: when one fails (a full disk, an I/O error) the
// command ends with a message and exit code 1 instead of a silently shorter output; when the reader has gone
// away (the other end of a pipe closed, as `| head` does) the command ends quietly. On a terminal, control
// characters that came from data files or vCards are shown escaped ("\x1B"), so they cannot drive the
// terminal; the same holds for the messages on stderr.

// Puts std::cout on the checked output; call once at the start of main().
void installCliOutput();
// Flushes the output; returns `code`, or 1 after saying so on stderr when the output could not be written.
int finishCliOutput(int code);
