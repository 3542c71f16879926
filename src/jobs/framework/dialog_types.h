#pragma once
// The kinds, buttons and results of the program's message dialog. They live in
// the job framework because jobs ask their questions through JobHost.

#include <cstdint>

enum class MessageKind : int {
    Warning = 0,
    Error = 1,
    Information = 2,
    Confirmation = 3,
    Custom = 4,
};

// Left-to-right order of the buttons; a set of them is a bit set (bit n for n).
enum class DialogButton : int {
    Yes = 0,
    No = 1,
    OK = 2,
    Cancel = 3,
    Abort = 4,
    Retry = 5,
    Ignore = 6,
    All = 7,
    NoToAll = 8,
    YesToAll = 9,
    Help = 10,
};

inline constexpr int kDialogButtonCount = 11;

using DialogButtons = std::uint32_t;

constexpr DialogButtons ButtonBit(DialogButton b) {
    return DialogButtons(1) << int(b);
}
constexpr DialogButtons operator|(DialogButton a, DialogButton b) {
    return ButtonBit(a) | ButtonBit(b);
}
constexpr DialogButtons operator|(DialogButtons a, DialogButton b) {
    return a | ButtonBit(b);
}
constexpr bool HasButton(DialogButtons set, DialogButton b) {
    return (set & ButtonBit(b)) != 0;
}

// Modal results.
namespace DialogResult {
inline constexpr int None = 0;
inline constexpr int OK = 1;
inline constexpr int Cancel = 2; // also the close box
inline constexpr int Abort = 3;
inline constexpr int Retry = 4;
inline constexpr int Ignore = 5;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
inline constexpr int All = 8;
inline constexpr int NoToAll = 9;
inline constexpr int YesToAll = 10;
} // namespace DialogResult
