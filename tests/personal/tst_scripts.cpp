// Text of every script on the personal page, as the user meets it: typed into the contact
// editor, searched and highlighted, shown in the detail pane and written into reports.
#include "PageTestBase.h"
#include "app/SettingsStore.h"
#include "data/Query.h"
#include "personal/ContactListModel.h"
#include "personal/ContactListView.h"
#include "personal/FolderTreeModel.h"
#include "personal/FolderTreeView.h"
#include "personal/TPC_EDT_FRM.h"
#include "personal/TPDIR_FRM.h"
#include "platform/Shell.h"
#include "reports/RtfReader.h"
#include "reports/RtfView.h"

#include <QComboBox>
#include <QFile>
#include <QFont>
#include <QGlyphRun>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextFragment>
#include <QTextLayout>
#include <QtTest>

namespace {
const QString Lahore = QStringLiteral("لاہور");
const QString UrduTitle = QStringLiteral("لاہور بک ڈپو");
const QString UrduAddress = QStringLiteral("۱۲ مال روڈ، لاہور");
const QString Emoji = QStringLiteral("\U0001F4DE");

// Types text as key presses carrying each character, as a keyboard or input method does
// (QTest::keyClicks sends Latin-1 only).
void typeText(QWidget* widget, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype n = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, text.mid(i, n), Qt::NoModifier);
        i += n - 1;
    }
}
} // namespace

class ScriptsTest : public QObject, protected PageTestBase {
    Q_OBJECT
private:
    TPDIR_FRM* page = nullptr;

    void showPage() {
        page = new TPDIR_FRM(f->db(), *settings, area.get(), area.get());
        QVERIFY(showInArea(page));
    }
    QStringList listed() {
        QStringList titles;
        for (int r = 0; r < page->contactModel()->rowCount(); ++r)
            titles << page->contactModel()->row(r).CNAM;
        return titles;
    }
    // Types the text into the search box as keys and presses the search button's Enter.
    void search(const QString& text, int field) {
        page->findChild<QComboBox*>("FLDS")->setCurrentIndex(field);
        auto* srb = page->findChild<QLineEdit*>("SRB");
        srb->clear();
        typeText(srb, text);
        QCOMPARE(srb->text(), text);
        page->SRBButtonClick();
        QTRY_VERIFY(!page->isSearching());
    }
    bool bold(int row, int column) {
        auto* m = page->contactModel();
        return m->data(m->index(row, column), Qt::FontRole).value<QFont>().bold();
    }
    void selectRows(const QList<int>& rows) {
        auto* view = page->contactList();
        view->clearSelection();
        for (int r : rows)
            view->selectionModel()->select(page->contactModel()->index(r, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    QByteArray reportsFile(const QString& name) {
        QFile file(f->root() + "/reports/" + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init() { QVERIFY(setUpPage()); }
    void cleanup() {
        page = nullptr;
        tearDownPage();
    }

    // Typed keys go into the database as they were typed, and come back into the editor.
    void contactEditorStoresEveryScript() {
        const QString person = QStringLiteral("Ali علی\u200F Khan");
        const QString memo = QStringLiteral("Books \U0001F4DA, Cafe\u0301\nکتابیں") + Emoji;
        {
            TPC_EDT_FRM editor(f->db().DTR, *settings);
            editor.setMode(1);
            editor.FolderId = 1;
            editor.prepare();
            editor.show();
            typeText(editor.textField("CNAM"), QStringLiteral("لا\\ہور بک ڈپو"));
            typeText(editor.textField("ADR"), UrduAddress);
            typeText(editor.textField("PNAM"), person);
            typeText(editor.textField("PHN"), QStringLiteral("۰۴۲\\-۱۱۱ ") + Emoji);
            editor.findChild<QPlainTextEdit*>("BDS")->setPlainText(memo);
            // The backslash typed inside the Urdu title is removed, as in every title.
            QCOMPARE(editor.textField("CNAM")->text(), UrduTitle);
            editor.SAVClick();
        }
        const int cd = f->db().MM.QueryInteger("MAX(CD)", "CONT");
        const QString where = QStringLiteral("CD=%1").arg(cd);
        QCOMPARE(f->text("CNAM", "CONT", where), UrduTitle);
        QCOMPARE(f->text("ADR", "CONT", where), UrduAddress);
        QCOMPARE(f->text("PNAM", "CONT", where), person);
        QCOMPARE(f->text("PHN", "CONT", where), QStringLiteral("۰۴۲-۱۱۱ ") + Emoji);
        QCOMPARE(f->text("BDS", "CONT", where), memo);
        TPC_EDT_FRM again(f->db().DTR, *settings);
        again.setMode(2);
        again.FolderId = 1;
        again.ContactId = cd;
        again.prepare();
        QCOMPARE(again.textField("CNAM")->text(), UrduTitle);
        QCOMPARE(again.textField("PNAM")->text(), person);
        QCOMPARE(again.findChild<QPlainTextEdit*>("BDS")->toPlainText(), memo);
    }

    void searchesAndHighlightingInEveryScript() {
        f->addContact(1, UrduTitle);
        f->addContact(1, "Ferozsons", {{"ADR", UrduAddress}});
        f->addContact(1, QStringLiteral("Café Bleu"));
        f->addContact(1, QStringLiteral("CAFÉ ROUGE"));
        f->addContact(1, "Plain Traders");
        showPage();
        search(Lahore, 0); // All (Recommended)
        QCOMPARE(listed(), QStringList({"Ferozsons", UrduTitle}));
        QVERIFY(!bold(0, 1));
        QVERIFY(bold(0, 2)); // the address
        QVERIFY(bold(1, 1)); // the title
        search(Lahore, 2);   // Address only
        QCOMPARE(listed(), QStringList({"Ferozsons"}));
        search(Lahore, 1); // Title only
        QCOMPARE(listed(), QStringList({UrduTitle}));
        QVERIFY(bold(0, 1));
        // Accented letters match in either case, under All and under their field.
        for (int field : {0, 1}) {
            search(QStringLiteral("café"), field);
            QCOMPARE(listed(),
                     QStringList({QStringLiteral("CAFÉ ROUGE"), QStringLiteral("Café Bleu")}));
            QVERIFY(bold(0, 1) && bold(1, 1));
            search(QStringLiteral("CAFÉ"), field);
            QCOMPARE(listed().size(), 2);
        }
        // The listing keeps the engine's order of titles.
        search(QString(), 0);
        QStringList engineOrder;
        Query q(f->db().DTR);
        q.setSql("SELECT CNAM FROM CONT ORDER BY CNAM");
        for (q.open(); !q.eof(); q.next())
            engineOrder << q.value(0).toString();
        QCOMPARE(listed(), engineOrder);
    }

    void detailPaneShowsUrduRightToLeft() {
        f->addContact(1, UrduTitle,
                      {{"ADR", UrduAddress}, {"PHN", QStringLiteral("042-111 ") + Emoji}});
        showPage();
        page->TIM_BTVTimer();
        QTextDocument* doc = page->detailView()->document();
        const QString text = doc->toPlainText();
        QVERIFY2(text.startsWith(UrduTitle), qPrintable(text));
        QVERIFY(text.contains(UrduAddress));
        QVERIFY(text.contains(QStringLiteral("Phone   : 042-111 ") + Emoji));
        QCOMPARE(doc->begin().textDirection(), Qt::RightToLeft);
        // Every Urdu letter is drawn from a font that has it (the pane's font or a fallback),
        // not as an empty box.
        const QTextFragment title = doc->begin().begin().fragment();
        QTextLayout layout(UrduTitle, title.charFormat().font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        int glyphs = 0;
        for (const QGlyphRun& run : layout.glyphRuns()) {
            for (quint32 index : run.glyphIndexes()) {
                QVERIFY2(index != 0, qPrintable(run.rawFont().familyName()));
                ++glyphs;
            }
        }
        QVERIFY(glyphs >= UrduTitle.size() - 2); // "لا" may be one ligature
        // The file behind the pane holds the letters as Unicode escapes.
        const QByteArray rtf = reportsFile("PD_DV.RTF");
        QVERIFY(rtf.contains("\\u1604?\\u1575?\\u1729?\\u1608?\\u1585?"));
        QVERIFY(rtf.contains("\\u-10179?\\u-8994?"));
    }

    void reportKeepsUrdu() {
        f->addContact(1, UrduTitle, {{"ADR", UrduAddress}});
        f->addContact(1, "English Books", {{"PHN", "042-2"}});
        showPage();
        selectRows({0, 1});
        page->RTFClick();
        const QByteArray rtf = reportsFile("PD_RP.RTF");
        QVERIFY(!rtf.isEmpty());
        QVERIFY(!rtf.contains("??"));
        QTextDocument doc;
        RtfReader::read(rtf, &doc);
        QVERIFY2(doc.toPlainText().contains(UrduTitle), qPrintable(doc.toPlainText()));
        QVERIFY(doc.toPlainText().contains(UrduAddress));
        QVERIFY(doc.toPlainText().contains("English Books"));
    }
};

QTEST_MAIN(ScriptsTest)
#include "tst_scripts.moc"
