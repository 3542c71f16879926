#pragma once
// Test classes register themselves so that each folder's test program runs all
// of them without a hand-kept list:
//
//     class TestHiveStore : public QObject { Q_OBJECT ... };
//     KELVASTO_REGISTER_TEST(TestHiveStore)
//     #include "test_hive_store.moc"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace testing {

using TestFactory = std::function<std::unique_ptr<QObject>()>;

struct RegisteredTest {
    const char* name;
    TestFactory make;
};

std::vector<RegisteredTest>& registeredTests();

struct TestRegistrar {
    TestRegistrar(const char* name, TestFactory make);
};

} // namespace testing

#define KELVASTO_REGISTER_TEST(Class)                                                              \
    static const testing::TestRegistrar kRegistrar_##Class(                                        \
        #Class, [] { return std::unique_ptr<QObject>(new Class); });
