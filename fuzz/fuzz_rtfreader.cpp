// Fuzz target: RTF bytes through the detail pane's reader. With TK_FUZZ_LAYOUT=1 each document is
// also laid out as the view would (much slower: font matching); run that over the corpus.
#include "reports/RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

namespace {
bool g_layout = false;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    g_layout = qEnvironmentVariableIntValue("TK_FUZZ_LAYOUT") == 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QTextDocument doc;
    RtfReader::read(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), &doc);
    if (g_layout) {
        doc.setTextWidth(480);
        (void)doc.size();
    }
    return 0;
}
