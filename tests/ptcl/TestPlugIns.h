#pragma once

#include <QString>
#include <QTest>

// The test plug-in libraries built beside the PTCL tests.
namespace TestPlugIns {
inline QString library(const char* variant) {
    return QStringLiteral(TK_TEST_PLUGIN_DIR "/testplugin_%1.so").arg(variant);
}

// One data row for each way a file fails to be a plug-in, in a column "file".
inline void addBrokenLibraryRows() {
    QTest::addColumn<QString>("file");
    QTest::newRow("missing file") << QStringLiteral("/nonexistent/TessaroPlugin.so");
    QTest::newRow("not a library") << QStringLiteral(TK_TEST_PLUGIN_DIR "/../CMakeFiles");
    QTest::newRow("no export") << library("noexport");
    QTest::newRow("entry answers none") << library("none");
    QTest::newRow("no interface") << library("nointerface");
}
} // namespace TestPlugIns
