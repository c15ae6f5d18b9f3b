// Small helpers for writing the report to standard output.
#pragma once

// Prints the character count times; a count of 0 or less prints nothing.
void printRepeated(int count, char character);

// Flushes standard output and checks that everything written reached it.
// Returns status when it did; otherwise reports the write error on standard
// error and returns 1, so that lost output never ends with success.
int finishOutput(const char* programName, int status);
