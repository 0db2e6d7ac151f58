// The tray menu: its items, the hot-contact submenus filled from the database at each opening,
// the e-mail and dial hand-overs, "Run On Startup" over the autostart entry, and its painting.
#include "TempDatabase.h"
#include "app/Helpers.h"
#include "app/TkApplication.h"
#include "app/TrayMenu.h"
#include "app/TrayMenuStyle.h"
#include "data/Databases.h"
#include "platform/Autostart.h"
#include "platform/Shell.h"

#include <QPainter>
#include <QStyleOptionMenuItem>
#include <QtTest>

class TrayMenuTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_tmp = std::make_unique<TempDatabase>();
        m_db = std::make_unique<Databases>();
        m_db->open(m_tmp->dataPath(), m_tmp->sysPath());
        m_menu = std::make_unique<TrayMenu>(*m_db);
        m_config = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
        m_opened.clear();
        m_errors.clear();
        Shell::setObserver([this](const QUrl& url) { m_opened << url; });
        TkApplication::setErrorObserver([this](const QString& text) { m_errors << text; });
    }
    void cleanup() {
        Shell::setObserver({});
        TkApplication::setErrorObserver({});
        m_menu.reset();
        m_db.reset();
        m_tmp.reset();
        qunsetenv("XDG_CONFIG_HOME");
    }

    void itemsInOrder() {
        QStringList captions;
        for (QAction* a : m_menu->actions())
            captions << (a->isSeparator() ? "-" + a->text() : a->text());
        QCOMPARE(captions, QStringList({"Personal Directory", "Business Directory",
                                        "PTCL Directory", "-Hot Contacts", "E-Mail", "Mobile",
                                        "Phone", "-", "Run On Startup", "-", "Show/Hide", "Exit"}));
        QVERIFY(m_menu->RunOnStartup1->isCheckable());

        QSignalSpy pages(m_menu.get(), &TrayMenu::directoryChosen);
        m_menu->BusinessDirectory1->trigger();
        m_menu->BusinessDirectory2->trigger();
        m_menu->BusinessDirectory3->trigger();
        QCOMPARE(pages.size(), 3);
        QCOMPARE(pages.at(0).at(0).toInt(), 2);
        QCOMPARE(pages.at(1).at(0).toInt(), 0);
        QCOMPARE(pages.at(2).at(0).toInt(), 1);
        QSignalSpy exits(m_menu.get(), &TrayMenu::exitChosen);
        QSignalSpy toggles(m_menu.get(), &TrayMenu::showHideChosen);
        m_menu->Close1->trigger();
        m_menu->Show1->trigger();
        QCOMPARE(exits.size(), 1);
        QCOMPARE(toggles.size(), 1);
    }

    void noHotContactLeavesTheListsEmpty() {
        insert(1, "Not Hot", "042-1", "0300-1", "a@b.pk", 0);
        insert(2, "Null Hot", "042-1", "0300-1", "a@b.pk", -1);
        m_menu->TrayMenuPopup();
        QCOMPARE(names(m_menu->Eml_Mnu), QStringList());
        QCOMPARE(names(m_menu->Mob_Mnu), QStringList());
        QCOMPARE(names(m_menu->Pho_Mnu), QStringList());
    }

    void eachListTakesOnlyFilledNumbers() {
        insert(1, "Only Mail", "", "", "mail@only.pk");
        insert(2, "Blank Phone", "   ", "0300-2", "");
        insert(3, "Everything", "042-3", "0300-3", "all@x.pk");
        m_menu->TrayMenuPopup();
        QCOMPARE(names(m_menu->Eml_Mnu), QStringList({"Everything", "Only Mail"}));
        QCOMPARE(names(m_menu->Mob_Mnu), QStringList({"Blank Phone", "Everything"}));
        QCOMPARE(names(m_menu->Pho_Mnu), QStringList({"Everything"}));
        QCOMPARE(m_menu->Pho_Mnu->actions().first()->data().toInt(), 3);
    }

    // A name's '&' shows as itself, not as a mnemonic marker, and the entry still dials it.
    void ampersandsShowAsTyped() {
        insert(4, "Blank Phone & Co", "042-4", "", "");
        insert(5, "R&D\tDesk", "042-5", "", "");
        m_menu->TrayMenuPopup();
        QStringList shown;
        for (QAction* a : m_menu->Pho_Mnu->actions())
            shown << a->iconText(); // the caption as drawn, mnemonic markers taken out
        QCOMPARE(shown, QStringList({"Blank Phone & Co", "R&D Desk"}));
        QSignalSpy dials(m_menu.get(), &TrayMenu::dialRequested);
        m_menu->Pho_Mnu->actions().first()->trigger();
        QCOMPARE(dials.at(0).at(0).value<DialRequest>().DialTitle,
                 QStringLiteral("Blank Phone & Co"));
    }

    void atMostFiftyByName() {
        // Inserted in reverse so that the order comes from the query.
        for (int i = 59; i >= 0; --i)
            insert(100 + i, QStringLiteral("C%1").arg(i, 2, 10, QChar('0')), "042", "0300",
                   "c@x.pk");
        insert(200, "ZZ Only Mail", "", "", "z@x.pk");
        m_menu->TrayMenuPopup();
        QStringList first50;
        for (int i = 0; i < 50; ++i)
            first50 << QStringLiteral("C%1").arg(i, 2, 10, QChar('0'));
        QCOMPARE(names(m_menu->Pho_Mnu), first50);
        QCOMPARE(names(m_menu->Mob_Mnu), first50);
        QCOMPARE(names(m_menu->Eml_Mnu), first50);
    }

    void listsAreRebuiltAtEveryOpening() {
        insert(1, "Ahmed", "042-1", "", "");
        m_menu->TrayMenuPopup();
        m_menu->TrayMenuPopup();
        QCOMPARE(names(m_menu->Pho_Mnu), QStringList({"Ahmed"}));
        m_db->MM.ExecStatement("UPDATE CONT SET HOT=0 WHERE CD=1");
        insert(2, "Bilal", "042-2", "", "");
        emit m_menu->aboutToShow();
        QCOMPARE(names(m_menu->Pho_Mnu), QStringList({"Bilal"}));
    }

    void mailEntryOpensMailto() {
        insert(7, "Sana", "", "", "sana.malik@example.com?subject=Hi there");
        m_menu->TrayMenuPopup();
        m_menu->Eml_Mnu->actions().first()->trigger();
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.first().scheme(), QStringLiteral("mailto"));
        // The address alone: a contact copied from a listing may carry "?attach=..." after it.
        QCOMPARE(m_opened.first().toString(), QStringLiteral("mailto:sana.malik@example.com"));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void phoneAndMobileEntriesHandOverTheirNumbers() {
        insert(9, "Karachi Office", "021-111,,021-222,", ",0300-1,0333-2", "", 1, 5);
        m_menu->TrayMenuPopup();
        QSignalSpy dials(m_menu.get(), &TrayMenu::dialRequested);
        m_menu->Pho_Mnu->actions().first()->trigger();
        m_menu->Mob_Mnu->actions().first()->trigger();
        QCOMPARE(dials.size(), 2);
        const auto phone = dials.at(0).at(0).value<DialRequest>();
        QCOMPARE(phone.Numbers, QStringList({"021-111", "021-222"}));
        QCOMPARE(phone.MobileCall, false);
        QCOMPARE(phone.SettingsPrefix, QStringLiteral("PD"));
        QCOMPARE(phone.CityCode, QStringLiteral("5"));
        QCOMPARE(phone.DialTitle, QStringLiteral("Karachi Office"));
        const auto mobile = dials.at(1).at(0).value<DialRequest>();
        QCOMPARE(mobile.Numbers, QStringList({"0300-1", "0333-2"}));
        QCOMPARE(mobile.MobileCall, true);
        QVERIFY(m_opened.isEmpty());
    }

    void runOnStartupFollowsTheEntryAtEveryOpening() {
        const QString entry = m_config->path() + "/autostart/tessaro-kavelin.desktop";
        QCOMPARE(Autostart::entryPath(), entry);
        m_menu->setProgramPath("/opt/tessaro/bin/tessaro-kavelin");
        m_menu->TrayMenuPopup();
        QVERIFY(!m_menu->RunOnStartup1->isChecked());

        m_menu->RunOnStartup1->trigger();
        QVERIFY(QFileInfo::exists(entry));
        QCOMPARE(Autostart::execLine(), QStringLiteral("/opt/tessaro/bin/tessaro-kavelin -h"));
        m_menu->TrayMenuPopup();
        QVERIFY(m_menu->RunOnStartup1->isChecked());

        // Removed behind the menu's back: the next opening shows it.
        QFile::remove(entry);
        m_menu->TrayMenuPopup();
        QVERIFY(!m_menu->RunOnStartup1->isChecked());

        // An entry with an empty command counts as off.
        QDir().mkpath(QFileInfo(entry).absolutePath());
        writeFile(entry, "[Desktop Entry]\nType=Application\nExec=\n");
        m_menu->TrayMenuPopup();
        QVERIFY(!m_menu->RunOnStartup1->isChecked());
        writeFile(entry, "[Desktop Entry]\nType=Application\nExec=/x/tk -h\n");
        m_menu->TrayMenuPopup();
        QVERIFY(m_menu->RunOnStartup1->isChecked());

        m_menu->RunOnStartup1->trigger();
        QVERIFY(!QFileInfo::exists(entry));
        QVERIFY(m_errors.isEmpty());
    }

    void failedSwitchIsReportedAndCorrectedAtNextOpening() {
        m_menu->RunOnStartup1->setChecked(true); // shown on, but there is no entry
        m_menu->RunOnStartup1->trigger();
        QCOMPARE(m_errors.size(), 1);
        QVERIFY(m_errors.first().contains("tessaro-kavelin.desktop"));

        // A folder that cannot be written.
        QFile::remove(m_config->path() + "/autostart");
        writeFile(m_config->path() + "/autostart", "not a folder");
        m_menu->RunOnStartup1->trigger();
        QCOMPARE(m_errors.size(), 2);
        QVERIFY(m_errors.last().startsWith("Unable to open"));
        m_menu->TrayMenuPopup();
        QVERIFY(!m_menu->RunOnStartup1->isChecked());
    }

    void itemsAreTwentyTwoPixelsHigh() {
        m_menu->ensurePolished();
        for (QAction* a : m_menu->actions()) {
            const int h = m_menu->actionGeometry(a).height();
            if (a->isSeparator())
                QVERIFY2(h < 22, qPrintable(a->text()));
            else
                QCOMPARE(h, 22);
        }
        QVERIFY(m_menu->actionGeometry(m_menu->N7).height() >
                m_menu->actionGeometry(m_menu->N6).height());
    }

    void paintingOfTheItemKinds() {
        const QColor face = TrayMenuStyle::ButtonFace;

        QImage plain = paintItem(QStyleOptionMenuItem::Normal, "Exit", false, false);
        QCOMPARE(plain.pixelColor(0, 11), QColor(Qt::white));
        QVERIFY(near(plain.pixelColor(199, 11), face));
        QVERIFY(hasColour(plain, QRect(12, 4, 30, 14), Qt::black));

        QImage selected = paintItem(QStyleOptionMenuItem::Normal, "Exit", true, false);
        QCOMPARE(selected.pixelColor(0, 0), TrayMenuStyle::Grey);
        QCOMPARE(selected.pixelColor(199, 21), TrayMenuStyle::Grey);
        QVERIFY(near(selected.pixelColor(2, 2), Qt::white, 24));
        QVERIFY(near(selected.pixelColor(197, 19), TrayMenuStyle::Navy, 24));
        QVERIFY(hasColour(selected, QRect(12, 4, 30, 14), Qt::white));

        QImage checked = paintItem(QStyleOptionMenuItem::Normal, "Run On Startup", false, true);
        QCOMPARE(checked.pixelColor(2, 11), QColor(Qt::black));
        QCOMPARE(checked.pixelColor(100, 2), QColor(Qt::black));
        QCOMPARE(checked.pixelColor(197, 11), QColor(Qt::black));

        QImage titled = paintItem(QStyleOptionMenuItem::Separator, "Hot Contacts", false, false);
        QFont bold = TrayMenuStyle::menuFont();
        bold.setBold(true);
        const int lineStart = QFontMetrics(bold).horizontalAdvance("Hot Contacts") + 18;
        QCOMPARE(titled.pixelColor(lineStart + 2, 11), TrayMenuStyle::Grey);
        QVERIFY(titled.pixelColor(lineStart - 3, 11) != TrayMenuStyle::Grey);
        QVERIFY(hasColour(titled, QRect(12, 2, lineStart - 20, 18), Qt::black));
        QImage bare = paintItem(QStyleOptionMenuItem::Separator, "", false, false);
        QCOMPARE(bare.pixelColor(0, 11), TrayMenuStyle::Grey);
    }

private:
    void insert(int cd, const QString& name, const QString& phone, const QString& mobile,
                const QString& mail, int hot = 1, int city = 1) {
        const QString hotValue = hot < 0 ? QStringLiteral("NULL") : QString::number(hot);
        m_db->MM.ExecStatement(
            QStringLiteral("INSERT INTO CONT (CTCD, CD, CNAM, PHN, MOB, EML, HOT, CCD) VALUES "
                           "(1, %1, %2, %3, %4, %5, %6, %7)")
                .arg(cd)
                .arg(QuoteSql(name), QuoteSql(phone), QuoteSql(mobile), QuoteSql(mail), hotValue)
                .arg(city));
        m_db->DTR.CommitRetaining();
    }
    static QStringList names(QMenu* menu) {
        QStringList list;
        for (QAction* a : menu->actions())
            list << a->text();
        return list;
    }
    static void writeFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    static QImage paintItem(QStyleOptionMenuItem::MenuItemType type, const QString& text,
                            bool selected, bool checked) {
        QImage image(200, 22, QImage::Format_ARGB32);
        image.fill(Qt::magenta);
        QStyleOptionMenuItem option;
        option.rect = image.rect();
        option.menuItemType = type;
        option.text = text;
        option.font = TrayMenuStyle::menuFont();
        option.fontMetrics = QFontMetrics(option.font);
        option.state = QStyle::State_Enabled;
        if (selected)
            option.state |= QStyle::State_Selected;
        option.checkType =
            checked ? QStyleOptionMenuItem::NonExclusive : QStyleOptionMenuItem::NotCheckable;
        option.checked = checked;
        QPainter painter(&image);
        TrayMenuStyle::instance()->drawControl(QStyle::CE_MenuItem, &option, &painter);
        return image;
    }
    static bool near(const QColor& a, const QColor& b, int tolerance = 8) {
        return std::abs(a.red() - b.red()) <= tolerance &&
               std::abs(a.green() - b.green()) <= tolerance &&
               std::abs(a.blue() - b.blue()) <= tolerance;
    }
    static bool hasColour(const QImage& image, const QRect& area, const QColor& colour) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (near(image.pixelColor(x, y), colour, 30))
                    return true;
        return false;
    }

    std::unique_ptr<TempDatabase> m_tmp;
    std::unique_ptr<Databases> m_db;
    std::unique_ptr<TrayMenu> m_menu;
    std::unique_ptr<QTemporaryDir> m_config;
    QList<QUrl> m_opened;
    QStringList m_errors;
};

QTEST_MAIN(TrayMenuTest)
#include "tst_traymenu.moc"
