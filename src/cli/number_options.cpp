#include "cli/number_options.h"

#include "cli/batch_job.h"
#include "i18n/own_texts.h"

#include <QCommandLineParser>

namespace {

// Where the descriptions of --help's option lines start, behind two spaces.
constexpr int kOptionColumn = 18;

QString limits(const NumberOption& option) {
    return QStringLiteral("%1..%2").arg(option.minimum).arg(option.maximum);
}

QString helpLine(const NumberOption& option) {
    QString head =
        QStringLiteral("--%1 %2").arg(QLatin1String(option.name), QLatin1String(option.valueName));
    head =
        head.size() < kOptionColumn ? head.leftJustified(kOptionColumn) : head + QLatin1Char(' ');
    return QStringLiteral("  ") + head + OwnText(option.helpKey) + QStringLiteral(", ") +
           limits(option) + QStringLiteral(" (%1)").arg(option.fallback);
}

} // namespace

QCommandLineOption NumberCommandLineOption(const NumberOption& option) {
    return QCommandLineOption(QString::fromLatin1(option.name), QString(),
                              QString::fromLatin1(option.valueName));
}

std::optional<int> ReadNumberOption(const QCommandLineParser& parser, const NumberOption& option,
                                    const BatchJob& job, int& value) {
    const QString name = QString::fromLatin1(option.name);
    if (!parser.isSet(name))
        return std::nullopt;
    bool ok = false;
    const int number = parser.value(name).toInt(&ok);
    if (!ok || !option.allows(number))
        return UsageError(OwnText("cli.out_of_range")
                              .arg(QStringLiteral("--") + name)
                              .arg(option.minimum)
                              .arg(option.maximum),
                          &job);
    value = number;
    return std::nullopt;
}

QString WithNumberOptions(QString help, std::initializer_list<const NumberOption*> options) {
    for (const NumberOption* option : options) {
        const QString name = QString::fromLatin1(option->name);
        if (option->helpKey)
            help.replace(QStringLiteral("{--%1}").arg(name), helpLine(*option));
        help.replace(QStringLiteral("{%1}").arg(name), limits(*option));
    }
    return help;
}
