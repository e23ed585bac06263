#pragma once

// The engine's tests run once on each kernel this processor has, the portable one
// always: each kernel is a global data row, so every test and every one of its
// rows runs on each. Where VESNOR_KERNEL names a kernel, as CI does for each in
// turn, only that one runs.

#include "kernels.h"

#include <QtTest/QTest>

#include <cstdlib>
#include <string_view>

inline void kernelRows()
{
    QTest::addColumn<QByteArray>("kernel");
    const char *forced = std::getenv("VESNOR_KERNEL");
    for (const vesnor::detail::Kernel *each : vesnor::detail::kernelsHere()) {
        if (forced && each->name != std::string_view(forced))
            continue;
        const QByteArray name(each->name.data(), static_cast<qsizetype>(each->name.size()));
        QTest::newRow(name.constData()) << name;
    }
}

inline void useKernelOfRow()
{
    QFETCH_GLOBAL(QByteArray, kernel);
    QVERIFY(vesnor::detail::useKernel(kernel.toStdString()));
    const std::string_view inUse = vesnor::kernelName();
    QCOMPARE(QByteArray(inUse.data(), static_cast<qsizetype>(inUse.size())), kernel);
}
