#include "platform/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <stdexcept>

namespace {
const QString EntryName = QStringLiteral("tessaro-kavelin.desktop");

QString configHome() {
    const QString env = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!env.isEmpty() && QDir::isAbsolutePath(env))
        return env;
    return QDir::homePath() + QStringLiteral("/.config");
}

// Key/value lines of the [Desktop Entry] group.
QString entryValue(const QString& key) {
    QFile file(Autostart::entryPath());
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inMainGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inMainGroup = line == QStringLiteral("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq).trimmed() == key)
            return line.mid(eq + 1).trimmed();
    }
    return {};
}

[[noreturn]] void fail(const QString& text) {
    throw std::runtime_error(text.toStdString());
}
} // namespace

QString Autostart::entryPath() {
    return configHome() + QStringLiteral("/autostart/") + EntryName;
}

QString Autostart::execLine() {
    return entryValue(QStringLiteral("Exec"));
}

bool Autostart::isEnabled() {
    if (execLine().isEmpty())
        return false;
    if (entryValue(QStringLiteral("Hidden")).compare(QStringLiteral("true"), Qt::CaseInsensitive) ==
        0)
        return false;
    return entryValue(QStringLiteral("X-GNOME-Autostart-enabled"))
               .compare(QStringLiteral("false"), Qt::CaseInsensitive) != 0;
}

QString Autostart::execFor(const QString& programPath) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (QChar c : programPath)
        needsQuotes = needsQuotes || reserved.contains(c);
    if (!needsQuotes)
        return programPath + QStringLiteral(" -h");
    QString quoted;
    for (QChar c : programPath) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    // Inside a desktop entry value a backslash is itself escaped once more.
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    return u'"' + quoted + QStringLiteral("\" -h");
}

void Autostart::enable(const QString& programPath) {
    const QString path = entryPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        fail(QStringLiteral("Unable to open \"%1\" for write").arg(path));
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Tessaro Kavelin\n"
                                        "Comment=Start Tessaro Kavelin in the system tray\n"
                                        "Exec=%1\n"
                                        "Icon=tessaro-kavelin\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(execFor(programPath));
    file.write(text.toUtf8());
    if (!file.commit())
        fail(QStringLiteral("Unable to open \"%1\" for write").arg(path));
}

void Autostart::disable() {
    const QString path = entryPath();
    if (!QFileInfo::exists(path) || !QFile::remove(path))
        fail(QStringLiteral("Unable to remove the start-at-logon entry \"%1\"").arg(path));
}
