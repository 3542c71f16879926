#pragma once
// The tool's standard output and error, safe against closed descriptors and
// failing writes. A script that runs the tool with `>&-` or into a full disk
// must learn from the exit status that the report was lost, and no file the
// tool opens may end up on descriptor 0, 1 or 2, where report lines would be
// written into it.

#include <QByteArray>

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed. Call
// first thing in main, before anything opens a file.
void ReserveStandardStreams();

// Writes (and flushes, unless stdout is a file or /dev/null); a closed or
// failing stdout is remembered.
void WriteStandardOutput(const QByteArray& bytes);
void WriteStandardError(const QByteArray& bytes);

// Flushes; true once anything meant for stdout could not be written.
bool StandardOutputFailed();
