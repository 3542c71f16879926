#pragma once
// The two ways a job ends early. Both travel as exceptions up to the event-loop
// guard, which hands them to MyErrorHandler; neither is ever shown to the user.

#include <stdexcept>
#include <string>

// A job ended after a notice or a refused question: nothing more to say.
class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "silent abort"; }
};

// A failure the program cannot work around (a file that cannot be opened, a
// picture that cannot be decoded, ...).
class KelvastoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
