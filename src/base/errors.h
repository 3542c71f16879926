#pragma once
// The two ways a job ends early. Both travel as exceptions up to the event-loop
// guard, which hands them to MyErrorHandler; neither is ever shown to the user
// as it stands: what a user reads comes from FailureText (i18n/failure_texts.h),
// in the user's language, by the error's kind.

#include <stdexcept>
#include <string>

// A job ended after a notice or a refused question: nothing more to say.
class SilentAbort : public std::exception {
public:
    const char* what() const noexcept override { return "silent abort"; }
};

// What went wrong, in a form the program can put into words of either
// language; what() keeps the English detail for tests and diagnostics.
enum class Failure {
    Unspecified,
    OpenFile,        // the file could not be opened (systemError tells why)
    ReadFile,        // reading it failed or came up short
    WriteFile,       // a file could not be written or put in place
    NotRegularFile,  // a folder, device, FIFO or socket under a picture's name
    FileTooLarge,    // far larger than any picture the program can decode
    PictureTooLarge, // more pixels or memory than the program may use
    DamagedJpeg,     // not a JPEG file, or its data is damaged
    DamagedBitmap,   // not a bitmap file, or its data is damaged or cut off
};

// A failure the program cannot work around (a file that cannot be opened, a
// picture that cannot be decoded, ...).
class KelvastoError : public std::runtime_error {
public:
    explicit KelvastoError(const std::string& message, Failure failure = Failure::Unspecified,
                           int systemError = 0)
        : std::runtime_error(message), m_failure(failure), m_systemError(systemError) {}

    Failure failure() const { return m_failure; }
    // errno of the call that failed, 0 when none applies.
    int systemError() const { return m_systemError; }

private:
    Failure m_failure;
    int m_systemError;
};
