#pragma once
// Why something failed, in the user's language: a system error (errno) and
// the program's own errors by their kind (KelvastoError::failure). Never the
// English words of strerror or of an exception's what(), so that every reason
// a job names reads in one language.

#include <QString>

#include <exception>

// The system error `error` (an errno value) in words; an unknown one by number.
QString SystemErrorText(int error);

// What went wrong in `error`: its kind in words, and the system error behind
// it in brackets where there is one.
QString FailureText(const std::exception& error);
QString FailureText(const std::exception_ptr& error);
