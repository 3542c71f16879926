#include "common/test_registry.h"

namespace testing {

std::vector<RegisteredTest>& registeredTests() {
    static std::vector<RegisteredTest> tests;
    return tests;
}

TestRegistrar::TestRegistrar(const char* name, TestFactory make) {
    registeredTests().push_back({name, std::move(make)});
}

} // namespace testing
