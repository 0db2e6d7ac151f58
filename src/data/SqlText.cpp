#include "data/SqlText.h"

namespace {
bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}
} // namespace

SqlText SqlText::parse(const QString& sql) {
    SqlText out;
    out.text.reserve(sql.size());
    const qsizetype n = sql.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            qsizetype j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out.text += sql.mid(i, j - i + 1);
            i = j;
        } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
            qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            end = end < 0 ? n : end + 2;
            out.text += sql.mid(i, end - i);
            i = end - 1;
        } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            qsizetype end = sql.indexOf(u'\n', i);
            end = end < 0 ? n : end;
            out.text += sql.mid(i, end - i);
            i = end - 1;
        } else if (c == u':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == u'_')) {
            qsizetype j = i + 1;
            while (j < n && isNameChar(sql[j]))
                ++j;
            out.params << sql.mid(i + 1, j - i - 1).toUpper();
            out.text += u'?';
            i = j - 1;
        } else {
            out.text += c;
        }
    }
    return out;
}
