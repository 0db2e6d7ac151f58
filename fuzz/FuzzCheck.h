#pragma once
// What the fuzz targets share: reporting a property that broke, and reply text as Latin-1 bytes.
#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

// Names the target, the property that broke and what was written (if anything), then aborts so
// the fuzzer keeps the input.
[[noreturn]] inline void fuzzFail(const char* target, const char* what,
                                  const QByteArray& written = {}) {
    std::fprintf(stderr, "%s: %s\n", target, what);
    if (!written.isEmpty())
        std::fprintf(stderr, "--- written ---\n%s\n", written.left(4000).constData());
    std::abort();
}

// The text as a Latin-1 reply carries it; a character beyond Latin-1 breaks the target.
inline QByteArray latin1Only(const char* target, const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            fuzzFail(target, "a field holds a character a Latin-1 reply cannot carry");
    return text.toLatin1();
}
