// Fuzz target: an advertisement page's bytes as the view takes them: the nesting check, then
// the document built and laid out at the top pane's width, as the view shows it.
#include "online/HtmlNesting.h"

#include <QGuiApplication>
#include <QTextDocument>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString html = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    if (HtmlNesting::tooDeep(html))
        return 0;
    QTextDocument doc;
    doc.setHtml(html);
    doc.setTextWidth(468);
    (void)doc.size();
    return 0;
}
