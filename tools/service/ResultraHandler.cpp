#include "ResultraHandler.h"

ResultraHandler::ResultraHandler(int listings) : m_directory(listings) {}

QString ResultraHandler::searchText(const QByteArray& rawQuery) {
    for (const QByteArray& pair : rawQuery.split('&')) {
        if (!pair.startsWith("q="))
            continue;
        QByteArray value = pair.mid(2);
        value.replace('+', ' ');
        return QString::fromLatin1(QByteArray::fromPercentEncoding(value));
    }
    return {};
}

QByteArray ResultraHandler::reply(const QByteArray& rawQuery) const {
    return m_directory.reply(searchText(rawQuery));
}
