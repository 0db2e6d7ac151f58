// The settings page in the main window: the user's details kept under USRINF, the title that
// follows them while the user types, Enter between fields, and the spreading of the fields.
#include "TempDatabase.h"
#include "app/PictureButton.h"
#include "app/SettingsStore.h"
#include "app/ShadowLabel.h"
#include "app/TMF.h"
#include "app/TkApplication.h"
#include "settings/TSETT_FRM.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest>

namespace {
// Types text key by key, characters beyond Latin-1 included.
void type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
} // namespace

class SettingsPageTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_home = QDir::currentPath();
        m_tmp = std::make_unique<TempDatabase>();
        QVERIFY(QDir::setCurrent(m_tmp->binDir()));
    }
    void cleanup() {
        m_tmf.reset();
        QDir::setCurrent(m_home);
        m_tmp.reset();
    }

    void titleFollowsTheCompanyThenTheUserName() {
        start();
        QCOMPARE(m_tmf->TIT->text(), QString());
        TSETT_FRM* page = openPage();
        for (QLineEdit* e : page->findChildren<QLineEdit*>())
            QCOMPARE(e->text(), QString());
        QVERIFY(page->USR->hasFocus());
        type(page->USR, QStringLiteral("Ayesha Siddiqa"));
        QCOMPARE(m_tmf->TIT->text(), QStringLiteral("Ayesha Siddiqa"));
        page->COM->setFocus();
        type(page->COM, QStringLiteral("Rāvi Traders"));
        QCOMPARE(m_tmf->TIT->text(), QStringLiteral("Rāvi Traders"));
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(page->COM, Qt::Key_Backspace);
        QCOMPARE(m_tmf->TIT->text(), QStringLiteral("Ayesha Siddiqa"));
        page->OCC->setFocus();
        type(page->OCC, QStringLiteral("Accountant"));
        QCOMPARE(m_tmf->TIT->text(), QStringLiteral("Ayesha Siddiqa"));
        // A value the program puts in (not the user typing) leaves the title alone.
        page->COM->setText(QStringLiteral("Set by the program"));
        QCOMPARE(m_tmf->TIT->text(), QStringLiteral("Ayesha Siddiqa"));
    }

    // Enter walks the fields in tab order; in the memo it breaks the line. The memo's lines
    // are kept joined by CR LF and come back as lines at the next start.
    void fieldsAreKeptAcrossStarts() {
        start();
        TSETT_FRM* page = openPage();
        type(page->USR, QStringLiteral("Ali"));
        QTest::keyClick(page->USR, Qt::Key_Return);
        QVERIFY(page->OCC->hasFocus());
        for (QWidget* w : {page->OCC, page->PHN, page->MOB, page->EML, page->COM})
            QTest::keyClick(w, Qt::Key_Return);
        QVERIFY(page->BTP->hasFocus());
        type(page->BTP, QStringLiteral("Textiles"));
        QTest::keyClick(page->BTP, Qt::Key_Enter);
        QVERIFY(page->BDS->hasFocus());
        type(page->BDS, QStringLiteral("one"));
        QTest::keyClick(page->BDS, Qt::Key_Return);
        type(page->BDS, QStringLiteral("two"));
        QTest::keyClick(page->BDS, Qt::Key_Return);
        type(page->BDS, QStringLiteral("drei ü"));
        m_tmf->exitProgram();
        QCOMPARE(m_tmf->settings().ReadText("USRINF\\BDS", {}),
                 QStringLiteral("one\r\ntwo\r\ndrei ü"));
        QCOMPARE(m_tmf->settings().ReadText("USRINF\\BTP", {}), QStringLiteral("Textiles"));

        m_tmf.reset();
        start();
        page = openPage();
        QCOMPARE(page->BDS->toPlainText().split('\n'), QStringList({"one", "two", "drei ü"}));
        QCOMPARE(page->USR->text(), QStringLiteral("Ali"));
        QCOMPARE(m_tmf->TIT->text(), QStringLiteral("Ali"));
    }

    void valuesUntouchedWhenThePageWasNeverShown() {
        {
            SettingsStore seed(m_tmp->binDir() + "/settings.xml");
            seed.WriteText("USRINF\\USR", "Kept");
            seed.WriteText("USRINF\\BAK", "/srv/Save/TessaroBackup");
        }
        start();
        m_tmf->exitProgram();
        SettingsStore after(m_tmp->binDir() + "/settings.xml");
        QCOMPARE(after.ReadText("USRINF\\USR", {}), QStringLiteral("Kept"));
        QCOMPARE(after.ReadText("USRINF\\BAK", {}), QStringLiteral("/srv/Save/TessaroBackup"));
        QCOMPARE(after.ReadText("USRINF\\COM", "none"), QStringLiteral("none"));
    }

    // At twice the design height the tops and the memo's height double, from the designed
    // values each time; the left edges and widths stay.
    void fieldsSpreadWithTheHeight() {
        start();
        TSETT_FRM* page = openPage();
        const int left = page->COM->x(), width = page->COM->width();
        QVERIFY(left >= 80 && left + width == 356);
        page->resize(TSETT_FRM::DesignWidth, 720);
        QCOMPARE(page->COM->geometry(), QRect(left, 362, width, 21));
        QCOMPARE(page->BDS->geometry(), QRect(left, 488, width, 154));
        QVERIFY(page->USP->geometry().bottom() >= page->BDS->mapTo(page, QPoint(0, 154)).y());
        page->resize(900, 500);
        page->resize(TSETT_FRM::DesignWidth, 720);
        QCOMPARE(page->COM->geometry(), QRect(left, 362, width, 21));
        // The backup and restore panels keep their distance to the right edge.
        QWidget* backup = page->BAK->parentWidget();
        page->resize(TSETT_FRM::DesignWidth, TSETT_FRM::DesignHeight);
        const int distance = page->width() - backup->geometry().right();
        page->resize(1000, 400);
        QCOMPARE(page->width() - backup->geometry().right(), distance);
        QCOMPARE(page->RES->parentWidget()->geometry().right(), backup->geometry().right());
    }

private:
    void start() {
        // The window's service traffic (update check, advertisements) goes to a closed loopback
        // port.
        qputenv("http_proxy", "http://127.0.0.1:9");
        m_tmf = std::make_unique<TMF>();
        m_tmf->createWindows();
        m_tmf->show();
        QVERIFY(QTest::qWaitForWindowActive(m_tmf.get()));
    }
    TSETT_FRM* openPage() {
        QTest::mouseClick(m_tmf->Gb3, Qt::LeftButton);
        auto* page = static_cast<TSETT_FRM*>(m_tmf->page(3));
        [&] { QCOMPARE(m_tmf->shownPage(), page); }();
        return page;
    }

    QString m_home;
    std::unique_ptr<TempDatabase> m_tmp;
    std::unique_ptr<TMF> m_tmf;
};

int main(int argc, char** argv) {
    TkApplication app(argc, argv);
    SettingsPageTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_settingspage.moc"
