#pragma once
// Runs every registered test class of this program, each as its own QtTest run,
// inside a sandboxed HOME/XDG/TMPDIR. `App` is the application object the
// program's tests need: QCoreApplication, QGuiApplication (pictures, fonts) or
// QApplication (widgets); a core test program cannot name QApplication at all.

#include "common/test_env.h"
#include "common/test_registry.h"

#include <QByteArray>
#include <QList>
#include <QTest>

#include <cstdio>
#include <cstring>

namespace testing {

template <class App> int runRegisteredTests(int argc, char** argv) {
    setUpSandbox();
    int failures = 0;
    {
        App app(argc, argv);
        // "-class Name" runs only that class; all other arguments go to QtTest.
        QByteArray only;
        QList<char*> args;
        for (int i = 0; i < argc; ++i) {
            if (std::strcmp(argv[i], "-class") == 0 && i + 1 < argc) {
                only = argv[++i];
                continue;
            }
            args.append(argv[i]);
        }
        for (const auto& test : registeredTests()) {
            if (!only.isEmpty() && only != test.name)
                continue;
            auto object = test.make();
            failures += QTest::qExec(object.get(), int(args.size()), args.data());
        }
    }
    tearDownSandbox();
    std::printf("%s\n", failures == 0 ? "All test classes passed" : "Some test classes failed");
    return failures == 0 ? 0 : 1;
}

} // namespace testing
