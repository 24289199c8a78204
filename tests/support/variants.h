#pragma once

#include "platform/osversion.h"

#include <QtTest>

namespace bp::test {

// The two editor variants as the global data of a test: every case runs for
// the rich one and for the plain one.
inline void addEditorVariants()
{
    QTest::addColumn<bool>("win95");
    QTest::newRow("rich") << true;
    QTest::newRow("plain") << false;
}

// Whether the case runs for the rich variant.
inline bool richVariant()
{
    QFETCH_GLOBAL(bool, win95);
    return win95;
}

// Makes a main window made while it lives choose the case's variant.
class VariantScope {
public:
    VariantScope() { setOsMajorVersionForTesting(richVariant() ? 6 : 3); }
    ~VariantScope() { setOsMajorVersionForTesting(-1); }
    VariantScope(const VariantScope&) = delete;
    VariantScope& operator=(const VariantScope&) = delete;
};

} // namespace bp::test
