#include "app/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <sys/stat.h>
#include <unistd.h>

// Tests of the settings store against real files in a temporary folder.
class TestSettingsStore : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString path(const QString& name = QStringLiteral("settings.xml")) const {
        return dir_.filePath(name);
    }

    static QByteArray readFile(const QString& name) {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Whether a plain XML 1.0 reader, with none of the store's allowances, reads the bytes.
    static bool strictXmlReads(const QByteArray& bytes) {
        QXmlStreamReader reader(bytes);
        while (!reader.atEnd())
            reader.readNext();
        if (reader.hasError())
            qWarning() << reader.errorString() << reader.lineNumber() << reader.columnNumber();
        return !reader.hasError();
    }
    static void writeFile(const QString& name, const QByteArray& bytes) {
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    static QByteArray document(const QByteArray& body) {
        return "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n" + body;
    }

private slots:
    void init() {
        for (const QString& name : QDir(dir_.path()).entryList({"settings.xml*"}, QDir::Files))
            QFile::remove(path(name));
    }

    void writesTheExactLayout() {
        {
            SettingsStore store(path());
            store.WriteText("PD\\SRB", "a & b <c> \"d\" 'e' caf\u00E9");
            store.WriteNumber("PD\\DTP", 152);
            store.WriteList("PD\\SRB_L", {"one", "two", "three"});
            store.WriteFlag("PD\\DLR\\ADC", true);
            store.WriteFlag("PD\\DLR\\ACC", false);
            store.WriteText("USRINF\\BDS", "line1 &\r\nline2");
            store.WriteText("USRINF\\USR", "");
            store.WriteList("PD\\SRB_L", {"x", ""});
            store.WriteNumber("PD\\DTP", -7); // rewritten in place
            store.WriteText("ADV\\CNT0", "\u263A");
        }
        const QByteArray expected =
            document("<Configuration>\r\n"
                     "  <PD>\r\n"
                     "    <SRB>a &amp; b &lt;c&gt; &quot;d&quot; &apos;e&apos; "
                     "caf\xE9</SRB>\r\n"
                     "    <DTP>-7</DTP>\r\n"
                     "    <SRB_L>\r\n"
                     "      <Count>2</Count>\r\n"
                     "      <N0>x</N0>\r\n"
                     "      <N1/>\r\n"
                     "    </SRB_L>\r\n"
                     "    <DLR>\r\n"
                     "      <ADC>TRUE</ADC>\r\n"
                     "      <ACC>FALSE</ACC>\r\n"
                     "    </DLR>\r\n"
                     "  </PD>\r\n"
                     "  <USRINF>\r\n"
                     "    <BDS>line1 &amp;\r\nline2</BDS>\r\n"
                     "    <USR/>\r\n"
                     "  </USRINF>\r\n"
                     "  <ADV>\r\n"
                     "    <CNT0>&#x263A;</CNT0>\r\n"
                     "  </ADV>\r\n"
                     "</Configuration>\r\n");
        const QByteArray written = readFile(path());
        QCOMPARE(written, expected);

        // Reading it back gives every value unchanged and writes the same bytes again.
        SettingsStore again(path());
        QCOMPARE(again.ReadText("PD\\SRB", "-"), QString("a & b <c> \"d\" 'e' caf\u00E9"));
        QCOMPARE(again.ReadText("USRINF\\BDS", "-"), QString("line1 &\r\nline2"));
        QCOMPARE(again.ReadText("USRINF\\USR", "-"), QString());
        QCOMPARE(again.ReadNumber("PD\\DTP", 152), -7);
        QCOMPARE(again.ReadFlag("PD\\DLR\\ADC", false), true);
        QCOMPARE(again.ReadFlag("PD\\DLR\\ACC", true), false);
        QStringList list{"stale"};
        again.ReadList("PD\\SRB_L", list);
        QCOMPARE(list, QStringList({"x", ""}));
        QCOMPARE(again.toXml(), expected);
        QVERIFY(again.Flush());
        QCOMPARE(readFile(path()), expected);
    }

    void decodesReferencesAndKeepsLineBreaks() {
        writeFile(path(), document("<Configuration>\r\n"
                                   "  <V>\r\n"
                                   "    <A>&AMP;&Lt;&GT;&Quot;&aPos;</A>\r\n"
                                   "    <B>&#233;&#xe9;&#XE9;\xE9</B>\r\n"
                                   "    <C>one\r\ntwo\nthree\rfour</C>\r\n"
                                   "    <D></D>\r\n"
                                   "  </V>\r\n"
                                   "  <!-- a comment\r\n-->\r\n"
                                   "</Configuration>\r\n"));
        SettingsStore store(path());
        QVERIFY(store.loadWarning().isEmpty());
        QCOMPARE(store.ReadText("V\\A", ""), QString("&<>\"'"));
        QCOMPARE(store.ReadText("V\\B", ""), QString("\u00E9\u00E9\u00E9\u00E9"));
        QCOMPARE(store.ReadText("V\\C", ""), QString("one\r\ntwo\nthree\rfour"));
        QCOMPARE(store.ReadText("V\\D", "default"), QString());
        QCOMPARE(store.ReadText("V\\E", "default"), QString("default"));
    }

    void looksUpNamesIgnoringCase() {
        writeFile(path(), document("<Configuration><pd><Srb>first</Srb><SRB>second</SRB></pd>"
                                   "</Configuration>"));
        SettingsStore store(path());
        QCOMPARE(store.ReadText("PD\\SRB", ""), QString("first"));
        store.WriteText("Pd\\sRB", "changed");
        QCOMPARE(store.ReadText("pd\\srb", ""), QString("changed"));
        QCOMPARE(store.toXml(), document("<Configuration>\r\n"
                                         "  <pd>\r\n"
                                         "    <Srb>changed</Srb>\r\n"
                                         "    <SRB>second</SRB>\r\n"
                                         "  </pd>\r\n"
                                         "</Configuration>\r\n"));
    }

    void normalisesKeys() {
        SettingsStore store(QString{});
        store.WriteText("\\PD\\\\DLR\\ADC\\", "Y");
        QCOMPARE(store.ReadText("PD\\DLR\\ADC", ""), QString("Y"));
        QCOMPARE(store.ReadText("\\\\PD\\DLR\\\\ADC", ""), QString("Y"));
        QCOMPARE(SettingsStore::keyNames("\\PD\\\\DLR\\ADC\\"), QStringList({"PD", "DLR", "ADC"}));

        // Characters not allowed in names become '_'; a name may not start with a digit.
        QCOMPARE(SettingsStore::keyNames("A B$C\\x.y:z-1\\7UP"),
                 QStringList({"A_B_C", "x.y:z-1", "_7UP"}));
        store.WriteText("ADV\\7UP", "seven");
        store.WriteText("A B$C\\v", "w");
        QCOMPARE(store.ReadText("A_B_C\\V", ""), QString("w"));

        // An empty key addresses nothing.
        store.WriteText("\\\\", "lost");
        QCOMPARE(store.ReadText("\\", "default"), QString("default"));
    }

    void namesWrittenAreReadableAgain() {
        {
            SettingsStore store(path());
            store.WriteText("ADV\\7UP", "seven");
            store.WriteText("X:Y\\-a", "dash");
        }
        SettingsStore store(path());
        QVERIFY(store.loadWarning().isEmpty());
        QCOMPARE(store.ReadText("ADV\\7UP", ""), QString("seven"));
        QCOMPARE(store.ReadText("x:y\\-A", ""), QString("dash"));
    }

    void readsIntegers() {
        SettingsStore store(QString{});
        const QList<QPair<QString, int>> cases = {{"152", 152},  {"-5", -5},          {"+3", 3},
                                                  {" 42 ", 42},  {"abc", -1},         {"", -1},
                                                  {"12abc", -1}, {"99999999999", -1}, {"1.5", -1}};
        for (const auto& [text, value] : cases) {
            store.WriteText("PD\\DTP", text);
            QVERIFY2(store.ReadNumber("PD\\DTP", 152) == value, qPrintable(text));
        }
        QCOMPARE(store.ReadNumber("BD\\DTP", 152), 152);
        store.WriteNumber("BD\\DTP", 0);
        QCOMPARE(store.ReadNumber("BD\\DTP", 152), 0);
    }

    void readsFlags() {
        SettingsStore store(QString{});
        const QList<QPair<QString, bool>> cases = {
            {"TRUE", true}, {"yes", true}, {"y", true},   {"1", true},      {"2", true},
            {"-1", true},   {"", true},    {"abc", true}, {"FALSE", false}, {"false", false},
            {"no", false},  {"N", false},  {"0", false},  {"00", false}};
        for (const auto& [text, value] : cases) {
            store.WriteText("PD\\DLR\\ADC", text);
            QVERIFY2(store.ReadFlag("PD\\DLR\\ADC", !value) == value, qPrintable(text));
        }
        QCOMPARE(store.ReadFlag("FD\\DLR\\ADC", false), false);
        QCOMPARE(store.ReadFlag("FD\\DLR\\ADC", true), true);

        // An element written by hand as an empty element reads as true.
        writeFile(path(), document("<Configuration><PD><DLR><ADC/></DLR></PD></Configuration>"));
        SettingsStore file(path());
        QCOMPARE(file.ReadFlag("PD\\DLR\\ADC", false), true);
    }

    void readsAndWritesLists() {
        SettingsStore store(QString{});
        QStringList list{"untouched"};
        store.ReadList("PD\\SRB_L", list);
        QCOMPARE(list, QStringList({"untouched"}));

        store.WriteList("PD\\SRB_L", {"a", "b", "c"});
        store.WriteList("PD\\SRB_L", {"d", "e"});
        QCOMPARE(store.ReadText("PD\\SRB_L\\Count", ""), QString("2"));
        QCOMPARE(store.ReadText("PD\\SRB_L\\N2", "none"), QString("none"));
        store.ReadList("PD\\SRB_L", list);
        QCOMPARE(list, QStringList({"d", "e"}));

        store.WriteList("PD\\SRB_L", {});
        store.ReadList("PD\\SRB_L", list);
        QCOMPARE(list, QStringList());
        QCOMPARE(store.ReadText("PD\\SRB_L\\N0", "none"), QString("none"));

        // A missing item reads as an empty text; a stale item beyond Count is not read.
        writeFile(path(), document("<Configuration><L><Count>3</Count><N0>a</N0><N2>c</N2>"
                                   "<N3>stale</N3></L><M><Count>x</Count><N0>a</N0></M>"
                                   "</Configuration>"));
        SettingsStore file(path());
        file.ReadList("L", list);
        QCOMPARE(list, QStringList({"a", "", "c"}));
        file.ReadList("M", list);
        QCOMPARE(list, QStringList());
        // Rewriting removes every stale item, whatever the old count said.
        file.WriteList("L", {"z"});
        QCOMPARE(file.ReadText("L\\N2", "none"), QString("none"));
        QCOMPARE(file.ReadText("L\\N3", "none"), QString("none"));

        // Item names match in any case, the first of a name wins, and a rewrite keeps the
        // element a hand edit named.
        writeFile(path(), document("<Configuration><L><count>2</count><n0>a</n0><N0>dup</N0>"
                                   "<N1>b</N1></L></Configuration>"));
        SettingsStore edited(path());
        edited.setFlushOnDestroy(false);
        edited.ReadList("L", list);
        QCOMPARE(list, QStringList({"a", "b"}));
        edited.WriteList("L", {"x", "y"});
        QVERIFY(edited.toXml().contains("<n0>x</n0>"));
        edited.ReadList("L", list);
        QCOMPARE(list, QStringList({"x", "y"}));
    }

    void keepsOrderOfCreation() {
        SettingsStore store(QString{});
        store.WriteText("B\\X", "1");
        store.WriteText("A\\Y", "2");
        store.WriteText("B\\Z", "3");
        store.WriteText("B\\X", "4");
        QCOMPARE(store.toXml(), document("<Configuration>\r\n"
                                         "  <B>\r\n"
                                         "    <X>4</X>\r\n"
                                         "    <Z>3</Z>\r\n"
                                         "  </B>\r\n"
                                         "  <A>\r\n"
                                         "    <Y>2</Y>\r\n"
                                         "  </A>\r\n"
                                         "</Configuration>\r\n"));
        SettingsStore empty(QString{});
        QCOMPARE(empty.toXml(), document("<Configuration/>\r\n"));
    }

    void missingFileStartsEmptyAndIsCreated() {
        const QString nested = dir_.filePath("sub/dir/settings.xml");
        {
            SettingsStore store(nested);
            QCOMPARE(store.ReadNumber("PD\\DTP", 152), 152);
            QCOMPARE(store.ReadText("PD\\SRB", "x"), QString("x"));
            QVERIFY(store.loadWarning().isEmpty());
            store.WriteNumber("PD\\DTP", 200);
        }
        SettingsStore store(nested);
        QCOMPARE(store.ReadNumber("PD\\DTP", 152), 200);
    }

    void flushOnDestroyCanBeTurnedOff() {
        {
            SettingsStore store(path());
            store.setFlushOnDestroy(false);
            store.WriteText("A", "b");
        }
        QVERIFY(!QFile::exists(path()));
    }

    void readOnlyPropertySkipsWritesAndSaves() {
        writeFile(path(), document("<Configuration><PD><SRB>restored</SRB></PD></Configuration>"));
        const QByteArray before = readFile(path());
        {
            SettingsStore store(path());
            store.setReadOnly(true);
            store.WriteText("PD\\SRB", "typed");
            store.WriteList("PD\\SRB_L", {"typed"});
            QCOMPARE(store.ReadText("PD\\SRB", ""), QString("restored"));
            QVERIFY(!store.Flush());
        }
        QCOMPARE(readFile(path()), before);
    }

    void readOnlyFileIsNeverChanged() {
        writeFile(path(), document("<Configuration><PD><SRB>kept</SRB></PD></Configuration>"));
        const QByteArray before = readFile(path());
        QVERIFY(
            QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        {
            SettingsStore store(path());
            QVERIFY(store.fileIsReadOnly());
            QVERIFY(!store.ReadOnly());
            QCOMPARE(store.ReadText("PD\\SRB", ""), QString("kept"));
            store.WriteText("PD\\SRB", "changed");
            QCOMPARE(store.ReadText("PD\\SRB", ""), QString("kept"));
            QVERIFY(!store.Flush());
        }
        QCOMPARE(readFile(path()), before);

        // The attribute is checked again at each load.
        QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));
        SettingsStore store(path());
        QVERIFY(!store.fileIsReadOnly());
        store.WriteText("PD\\SRB", "changed");
        // Made read-only while the program runs: the save still leaves it alone.
        QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner));
        QVERIFY(!store.Flush());
        QCOMPARE(readFile(path()), before);
        QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));
    }

    void reloadReadsTheFileAgain() {
        SettingsStore store(path());
        store.WriteText("PD\\SRB", "memory");
        writeFile(path(), document("<Configuration><PD><SRB>disk</SRB></PD></Configuration>"));
        store.Reload();
        QCOMPARE(store.ReadText("PD\\SRB", ""), QString("disk"));
        QFile::remove(path());
        store.Reload();
        QCOMPARE(store.ReadText("PD\\SRB", "none"), QString("none"));
        store.setFlushOnDestroy(false);
    }

    void damagedFileIsKeptAsBad() {
        const QByteArray damaged = document("<Configuration><PD><SRB>half");
        writeFile(path(), damaged);
        {
            SettingsStore store(path());
            QVERIFY(!store.loadWarning().isEmpty());
            QVERIFY(store.loadWarning().contains("settings.xml.bad"));
            QCOMPARE(readFile(path() + ".bad"), damaged);
            QVERIFY(!QFile::exists(path()));
            QCOMPARE(store.ReadNumber("PD\\DTP", 152), 152);
            store.WriteText("PD\\SRB", "new");
        }
        SettingsStore store(path());
        QVERIFY(store.loadWarning().isEmpty());
        QCOMPARE(store.ReadText("PD\\SRB", ""), QString("new"));

        // Other ways of being damaged: an empty file, a bare ampersand, a stray control byte.
        for (const QByteArray& bytes :
             {QByteArray(), document("<Configuration>a & b</Configuration>"),
              document("<Configuration><A>\x01</A></Configuration>")}) {
            QFile::remove(path() + ".bad");
            writeFile(path(), bytes);
            store.Reload();
            QVERIFY2(!store.loadWarning().isEmpty(), bytes.constData());
            QCOMPARE(readFile(path() + ".bad"), bytes);
        }
        store.setFlushOnDestroy(false);
    }

    void damagedReadOnlyFileStaysInPlace() {
        const QByteArray damaged = document("<Configuration>");
        writeFile(path(), damaged);
        QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner));
        {
            SettingsStore store(path());
            QVERIFY(!store.loadWarning().isEmpty());
            QCOMPARE(store.ReadText("PD\\SRB", "default"), QString("default"));
        }
        QCOMPARE(readFile(path()), damaged);
        QVERIFY(!QFile::exists(path() + ".bad"));
        QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));
    }

    // Every character a user can type survives a save and a load: Latin-1 letters are their own
    // bytes, anything beyond goes out as one reference per character. Control characters (but
    // tab, CR and LF) and what XML 1.0 does not allow are left out when a value is stored, so
    // the file is valid XML for any reader.
    void everyCharacterSurvivesARoundTrip() {
        const QString urdu = QString::fromUtf8("لاہور");
        const QString mixed = QString::fromUtf8("Café ÿ 😀 ") + urdu + QChar(0x200F) + "\\x";
        const QString controls = QString("a") + QChar(1) + "\tb" + QChar(0x1F) + QChar(0) +
                                 QChar(0x7F) + QChar(0x85) + QChar(0x9F) + "\r\nc";
        const QString oddities =
            QString(QChar(0xD800)) + QChar(0xFFFE) + QChar(0xE000) + QChar(0xE101) + "&#x1;";
        {
            SettingsStore store(path());
            store.WriteText("USRINF\\USR", urdu);
            store.WriteText("USRINF\\BDS", mixed);
            store.WriteText("A", controls);
            store.WriteText("B", oddities);
            store.WriteList("PD\\SRB_L", {urdu, controls});
            QCOMPARE(store.ReadText("A", ""), QString("a\tb\r\nc"));
        }
        const QByteArray bytes = readFile(path());
        QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n"));
        QVERIFY(bytes.contains("<USR>&#x0644;&#x0627;&#x06C1;&#x0648;&#x0631;</USR>"));
        QVERIFY(bytes.contains("<BDS>Caf\xE9 \xFF &#x1F600; "));
        QVERIFY(bytes.contains("<A>a\tb\r\nc</A>"));
        QVERIFY(bytes.contains("<B>&#xE000;&#xE101;&amp;#x1;</B>"));
        QVERIFY(strictXmlReads(bytes));

        SettingsStore store(path());
        QVERIFY(store.loadWarning().isEmpty());
        QCOMPARE(store.ReadText("USRINF\\USR", ""), urdu);
        QCOMPARE(store.ReadText("USRINF\\BDS", ""), mixed);
        QCOMPARE(store.ReadText("A", ""), QString("a\tb\r\nc"));
        QCOMPARE(store.ReadText("B", ""), oddities.mid(2));
        QStringList list;
        store.ReadList("PD\\SRB_L", list);
        QCOMPARE(list, QStringList({urdu, "a\tb\r\nc"}));
        // Written again unchanged, the file is the same byte for byte.
        store.setFlushOnDestroy(false);
        QCOMPARE(store.toXml(), bytes);
    }

    // Files written before: Latin-1 letters as references and control characters as references
    // still load; the letters keep their value, the control characters are left out.
    void olderFilesWithReferencesStillLoad() {
        writeFile(path(), document("<Configuration>\r\n"
                                   "  <PD>\r\n"
                                   "    <SRB>caf&#xE9;&#x07;&#x00; &#x85;ok</SRB>\r\n"
                                   "  </PD>\r\n"
                                   "</Configuration>\r\n"));
        SettingsStore store(path());
        QVERIFY(store.loadWarning().isEmpty());
        QCOMPARE(store.ReadText("PD\\SRB", ""), QString::fromUtf8("café ok"));
        QVERIFY(store.Flush());
        const QByteArray bytes = readFile(path());
        QVERIFY(bytes.contains("<SRB>caf\xE9 ok</SRB>"));
        QVERIFY(strictXmlReads(bytes));
    }

    // A well-formed file nested far too deep is set aside like a damaged one, and the next
    // damaged file never replaces an earlier one.
    void deepNestingIsSetAsideAndBadFilesAreNumbered() {
        QByteArray deep = document("<Configuration>");
        for (int i = 0; i < 200000; ++i)
            deep += "<a>";
        for (int i = 0; i < 200000; ++i)
            deep += "</a>";
        deep += "</Configuration>";
        writeFile(path(), deep);
        {
            SettingsStore store(path());
            QVERIFY(store.loadWarning().contains("nested"));
            QCOMPARE(store.ReadNumber("PD\\DTP", 152), 152);
            store.setFlushOnDestroy(false);
        }
        QCOMPARE(readFile(path() + ".bad"), deep);

        const QByteArray cut = document("<Configuration><PD>");
        writeFile(path(), cut);
        {
            SettingsStore store(path());
            QVERIFY(store.loadWarning().contains("settings.xml.bad.2"));
            store.setFlushOnDestroy(false);
        }
        QCOMPARE(readFile(path() + ".bad"), deep);
        QCOMPARE(readFile(path() + ".bad.2"), cut);
        QFile::remove(path() + ".bad.2");

        // Nesting up to the limit is read; keys that would go deeper are not written.
        QByteArray limit = document("<Configuration>");
        for (int i = 1; i < SettingsStore::MaxDepth - 1; ++i)
            limit += "<a>";
        limit += "<v>deep</v>";
        for (int i = 1; i < SettingsStore::MaxDepth - 1; ++i)
            limit += "</a>";
        limit += "</Configuration>";
        writeFile(path(), limit);
        SettingsStore store(path());
        QVERIFY(store.loadWarning().isEmpty());
        const QString key = QString("a\\").repeated(SettingsStore::MaxDepth - 2);
        QCOMPARE(store.ReadText(key + "v", ""), QString("deep"));
        store.WriteText(key + "a\\v", "too deep");
        QCOMPARE(store.ReadText(key + "a\\v", "none"), QString("none"));
        store.setFlushOnDestroy(false);
    }

    void missingListItemsReadAsEmptyTexts() {
        writeFile(path(), document("<Configuration><L><Count>3</Count><N0>a</N0></L>"
                                   "<H><Count>2000000000</Count></H></Configuration>"));
        SettingsStore store(path());
        store.setFlushOnDestroy(false);
        QStringList list;
        store.ReadList("L", list);
        QCOMPARE(list, QStringList({"a", "", ""}));
        store.ReadList("H", list);
        QCOMPARE(list.size(), qsizetype(SettingsStore::MaxListItems));
    }

    // When the folder takes no new file (another user's program folder), the save leaves the
    // file exactly as it was instead of rewriting it in place, and says so.
    void aFolderWithoutRoomForANewFileKeepsTheOldFile() {
        QTemporaryDir folder;
        const QString file = folder.filePath("settings.xml");
        const QByteArray old = document("<Configuration><A>old</A></Configuration>");
        writeFile(file, old);
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                        QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther);
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                                 QFile::ExeGroup | QFile::ReadOther |
                                                 QFile::ExeOther);
        const auto restore = qScopeGuard([&] {
            QFile::setPermissions(folder.path(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        QString probe = QCoreApplication::applicationDirPath() + "/settings_probe";
        QProcess p;
        if (::getuid() == 0) // root writes anywhere: save as another user
            p.setChildProcessModifier([] {
                if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(3);
            });
        p.start(probe, {file, "A", "new"});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(p.readAllStandardOutput().trimmed(), QByteArray("not saved"));
        QVERIFY(p.readAllStandardError().contains("is left as it is"));
        QCOMPARE(readFile(file), old);
    }

    void saveReplacesTheFileAtomically() {
        writeFile(path(), document("<Configuration><A>old</A></Configuration>"));
        QVERIFY(
            QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        struct stat before {};
        QCOMPARE(::stat(QFile::encodeName(path()).constData(), &before), 0);

        // A reader holding the old file keeps seeing it whole: the save never writes into it.
        QFile oldFile(path());
        QVERIFY(oldFile.open(QIODevice::ReadOnly));
        SettingsStore store(path());
        store.WriteText("A", "new");
        QVERIFY(store.Flush());
        QCOMPARE(oldFile.readAll(), document("<Configuration><A>old</A></Configuration>"));

        struct stat after {};
        QCOMPARE(::stat(QFile::encodeName(path()).constData(), &after), 0);
        QVERIFY(before.st_ino != after.st_ino);
        // Saved for the user alone, whatever the old file allowed.
        QCOMPARE(after.st_mode & 0777, mode_t(0600));
        QVERIFY(readFile(path()).contains("<A>new</A>"));
        // No temporary file is left beside it.
        QCOMPARE(QDir(dir_.path()).entryList({"settings.xml*"}, QDir::Files),
                 QStringList({"settings.xml"}));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
