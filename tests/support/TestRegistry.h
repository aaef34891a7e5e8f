#pragma once
// Each test module is one executable that runs every QtTest class registered in it:
//   TARVIK_TEST(ConversionsTest)
// after the class definition. `test_core ConversionsTest [QtTest options]` runs one class.

#include <QObject>
#include <functional>
#include <vector>

struct TRegisteredTest {
    const char* Name;
    std::function<QObject*()> Create;
};

std::vector<TRegisteredTest>& RegisteredTests();

struct TTestRegistration {
    TTestRegistration(const char* name, std::function<QObject*()> create)
    {
        RegisteredTests().push_back({name, std::move(create)});
    }
};

#define TARVIK_TEST(Class) \
    static const TTestRegistration Class##Registration(#Class, [] { return new Class; });
