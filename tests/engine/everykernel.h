#pragma once

// The engine's tests run once on each tested kernel (testedkernels.h): each kernel
// is a global data row, so every test and every one of its rows runs on each.

#include "testedkernels.h"

#include <QtTest/QTest>

#include <string_view>

inline void kernelRows()
{
    QTest::addColumn<QByteArray>("kernel");
    for (const vesnor::detail::Kernel *each : testedKernels()) {
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
