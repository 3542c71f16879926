#pragma once
// The jobs of kelvasto-batch and their command lines. Each job returns the
// program's exit status: 0 done, 1 error, 2 usage error, 130 interrupted.

#include <QStringList>

namespace ExitStatus {
inline constexpr int Done = 0;
inline constexpr int Error = 1;
inline constexpr int Usage = 2;
inline constexpr int Interrupted = 130;
} // namespace ExitStatus

// `arguments` without the program name.
int RunBatchCommand(const QStringList& arguments);
