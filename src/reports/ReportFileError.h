#pragma once

#include <QFile>
#include <QString>
#include <stdexcept>

// A template, report or view file that could not be opened, read or written.
class ReportFileError : public std::runtime_error {
public:
    explicit ReportFileError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}

    QString message() const { return m_message; }

    static ReportFileError cannotOpen(const QString& path, const QString& reason) {
        return ReportFileError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
    }
    static ReportFileError cannotCreate(const QString& path, const QString& reason) {
        return ReportFileError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
    }
    static ReportFileError cannotWrite(const QString& path, const QString& reason) {
        return ReportFileError(QStringLiteral("Cannot write file \"%1\". %2").arg(path, reason));
    }

private:
    QString m_message;
};

// The whole of a template or report file; ReportFileError when it cannot be opened or read.
inline QByteArray readReportFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportFileError::cannotOpen(path, file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ReportFileError::cannotOpen(path, file.errorString());
    return bytes;
}
