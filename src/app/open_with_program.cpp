#include "app/open_with_program.h"

#include <QProcess>

#include <utility>

namespace {

bool startForReal(const DetachedStartCall& call) {
    return QProcess::startDetached(call.program, call.arguments, call.workingFolder);
}

DetachedStarter& currentStarter() {
    static DetachedStarter starter = startForReal;
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

bool StartDetachedProgram(const DetachedStartCall& call) {
    return currentStarter()(call);
}

DetachedStartOverride::DetachedStartOverride(DetachedStarter starter)
    : m_previous(std::exchange(currentStarter(), std::move(starter))) {}

DetachedStartOverride::~DetachedStartOverride() {
    currentStarter() = std::move(m_previous);
}
