#pragma once
// A whole-number option of a job, declared once beside the job's engine:
// the window's spin box (parts::NumberEdit), the command line's parsing
// (ReadNumberOption) and its --help (WithNumberOptions) all read it, so
// they cannot disagree on the limits or the default.
//
//     inline constexpr NumberOption kThumbnailSide{
//         "size", "S", "ThumbGroesse", "cli.thumbs.size", 10, 300, 5, 100};

struct NumberOption {
    const char* name;      // the command-line option without "--"
    const char* valueName; // what --help calls its value ("S")
    const char* control;   // objectName of the window's spin box
    const char* helpKey;   // OwnText key of its --help description (German,
                           // English); null when --help names it in passing
    int minimum;
    int maximum;
    int step;     // of the window's arrows
    int fallback; // the default

    constexpr bool allows(int value) const { return value >= minimum && value <= maximum; }
};
