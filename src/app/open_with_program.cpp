#include "app/open_with_program.h"

#include <QProcess>

#include <utility>

bool StartForReal(const DetachedStartCall& call) {
    return QProcess::startDetached(call.program, call.arguments, call.workingFolder);
}

namespace {

DetachedStarter& currentStarter() {
    static DetachedStarter starter = StartForReal;
    return starter;
}

} // namespace

bool OpenWithAssociatedProgram(const QString& path, const QString& workingFolder) {
    if (path.isEmpty())
        return false;
    // "--" is not understood by xdg-open; a name starting with "-" would be
    // read as an option, so such a relative name is made explicit.
    const QString argument = path.startsWith(QLatin1Char('-')) ? QStringLiteral("./") + path : path;
    return currentStarter()({QStringLiteral("xdg-open"), {argument}, workingFolder});
}

void OpenLink(const QString& link, QObject* context, std::function<void()> failed) {
    const DetachedStartCall call{QStringLiteral("xdg-open"), {link}, QString()};
    DetachedStarter& starter = currentStarter();
    const auto* real = starter.target<bool (*)(const DetachedStartCall&)>();
    if (!real || *real != &StartForReal) {
        // A replaced starter (tests) answers at once.
        if (!starter(call))
            failed();
        return;
    }
    // Detached, the opener's verdict would be lost: xdg-open without a
    // program for the link ends with an error, which the user must hear of.
    auto* opener = new QProcess(context);
    QObject::connect(opener, &QProcess::finished, context,
                     [opener, failed](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode != 0)
                             failed();
                         opener->deleteLater();
                     });
    QObject::connect(opener, &QProcess::errorOccurred, context,
                     [opener, failed](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return;
                         failed();
                         opener->deleteLater();
                     });
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    opener->start(call.program, call.arguments);
}

bool StartDetachedProgram(const DetachedStartCall& call) {
    return currentStarter()(call);
}

DetachedStartOverride::DetachedStartOverride(DetachedStarter starter)
    : m_previous(std::exchange(currentStarter(), std::move(starter))) {}

DetachedStartOverride::~DetachedStartOverride() {
    currentStarter() = std::move(m_previous);
}
