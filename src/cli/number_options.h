#pragma once
// The command line's side of a declared number option (base/number_option.h):
// the option itself, reading its value within the limits, and its line in
// --help, so the limits and the default are written nowhere else.

#include "base/number_option.h"

#include <QCommandLineOption>
#include <QString>

#include <initializer_list>
#include <optional>

class QCommandLineParser;
struct BatchJob;

// --NAME VALUE
QCommandLineOption NumberCommandLineOption(const NumberOption& option);

// The option's value within its limits; `value` keeps what it holds when the
// option is absent. Returns an exit status after a usage error.
std::optional<int> ReadNumberOption(const QCommandLineParser& parser, const NumberOption& option,
                                    const BatchJob& job, int& value);

// `help` with the options' numbers filled in: a placeholder "{--NAME}"
// becomes the option's line ("  --NAME V   description, MIN..MAX (DEFAULT)"
// without its line break), "{NAME}" its limits "MIN..MAX".
QString WithNumberOptions(QString help, std::initializer_list<const NumberOption*> options);
