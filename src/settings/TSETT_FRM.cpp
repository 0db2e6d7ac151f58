#include "settings/TSETT_FRM.h"

#include "app/Balloon.h"
#include "app/SettingsStore.h"
#include "app/WaitCursor.h"
#include "personal/Prompt.h"
#include "settings/Heading.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {
const QColor PageColour(0x53, 0x6A, 0x9F);
const QColor PanelColour(0x4A, 0x5F, 0x92);
const QString CrLf = QStringLiteral("\r\n");

// Geometry of the right-hand panels at the design size; they keep their distance to the
// right edge.
constexpr int ServiceLeft = 411;
constexpr int ServiceWidth = 371;
constexpr int ServiceHeight = 150;
constexpr int BackupTop = 16;
constexpr int RestoreTop = 190;
constexpr int HeadingInset = 15;
constexpr int FieldRight = 356;
constexpr int RestoreBalloonMs = 6000;

QFrame* panel(const QString& name, QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Sunken);
    QPalette p = frame->palette();
    p.setColor(QPalette::Window, PanelColour);
    p.setColor(QPalette::WindowText, Qt::white);
    frame->setPalette(p);
    frame->setAutoFillBackground(true);
    return frame;
}

QLabel* whiteLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(p);
    return label;
}
} // namespace

TSETT_FRM::TSETT_FRM(Databases& databases, SettingsStore& settings, QWidget*, QWidget* parent)
    : Page(parent), m_settings(settings), m_layout(QSize(DesignWidth, DesignHeight)),
      m_backupRestore(databases, settings, this) {
    setObjectName(QStringLiteral("TSETT_FRM"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, PageColour);
    setPalette(p);

    buildUserPanel();
    m_bkp = buildServicePanel(QStringLiteral("BKP"), QStringLiteral("Start Backup"), BAK, BAKSP,
                              SBAK, BPRG);
    BAK->setObjectName(QStringLiteral("BAK"));
    BAKSP->setObjectName(QStringLiteral("BAKSP"));
    SBAK->setObjectName(QStringLiteral("SBAK"));
    BPRG->setObjectName(QStringLiteral("BPRG"));
    m_rsp = buildServicePanel(QStringLiteral("RSP"), QStringLiteral("Start Restore"), RES, RESSP,
                              SRES, RPRG);
    RES->setObjectName(QStringLiteral("RES"));
    RESSP->setObjectName(QStringLiteral("RESSP"));
    SRES->setObjectName(QStringLiteral("SRES"));
    RPRG->setObjectName(QStringLiteral("RPRG"));
    m_fields << BAK << RES;

    for (const QString& text : {QStringLiteral("User Information"), QStringLiteral("Backup"),
                                QStringLiteral("Restore")}) {
        auto* heading = new Heading(text, this);
        heading->setObjectName(QStringLiteral("HDG_") + text.section(u' ', 0, 0).toUpper());
        m_headings << heading;
    }

    connect(BAKSP, &QPushButton::clicked, this, &TSETT_FRM::BAKSPClick);
    connect(RESSP, &QPushButton::clicked, this, &TSETT_FRM::RESSPClick);
    connect(SBAK, &QPushButton::clicked, this, &TSETT_FRM::SBAKClick);
    connect(SRES, &QPushButton::clicked, this, &TSETT_FRM::SRESClick);
    connect(&m_backupRestore, &BackupRestore::progress, this, [this](int value) {
        if (m_activeBar)
            m_activeBar->setValue(value);
    });
    connect(&m_backupRestore, &BackupRestore::dataRestored, this, &TSETT_FRM::dataRestored);
    m_backupRestore.setWriteSettings([this] { emit settingsWanted(); });

    setTabOrder(USR, OCC);
    setTabOrder(OCC, PHN);
    setTabOrder(PHN, MOB);
    setTabOrder(MOB, EML);
    setTabOrder(EML, COM);
    setTabOrder(COM, BTP);
    setTabOrder(BTP, BDS);
    resize(DesignWidth, DesignHeight);
}

// The labels stand left of the fields; the fields start after the widest label in the desktop's
// font (at 80 or further right) and end at 356, so no caption is cut.
void TSETT_FRM::buildUserPanel() {
    USP = panel(QStringLiteral("USP"), this);
    const QFontMetrics metrics(font());
    for (const char* caption : {"User Name :", "Occupation :", "Description :", "Business :"})
        m_labelWidth = qMax(m_labelWidth, metrics.horizontalAdvance(QString::fromLatin1(caption)));
    m_fieldLeft = qMax(80, 12 + m_labelWidth + 6);
    USR = addField(QStringLiteral("USR"), QStringLiteral("User Name :"), 24);
    OCC = addField(QStringLiteral("OCC"), QStringLiteral("Occupation :"), 55);
    PHN = addField(QStringLiteral("PHN"), QStringLiteral("Phone :"), 86);
    MOB = addField(QStringLiteral("MOB"), QStringLiteral("Mobile :"), 118);
    EML = addField(QStringLiteral("EML"), QStringLiteral("E-mail :"), 149);
    COM = addField(QStringLiteral("COM"), QStringLiteral("Company :"), 181);
    BTP = addField(QStringLiteral("BTP"), QStringLiteral("Business :"), 212);
    m_layout.add(whiteLabel(QStringLiteral("Description :"), USP), {12, 244, m_labelWidth, 21},
                 DesignLayout::TopOnly);
    BDS = new QPlainTextEdit(USP);
    BDS->setObjectName(QStringLiteral("BDS"));
    BDS->setTabChangesFocus(true);
    m_layout.add(BDS, {m_fieldLeft, 244, FieldRight - m_fieldLeft, 77},
                 DesignLayout::TopOnly | DesignLayout::Height);
    m_fields << BDS;
    for (QLineEdit* title : {USR, COM})
        connect(title, &QLineEdit::textChanged, this, [this, title] { COMChange(title); });
}

QLineEdit* TSETT_FRM::addField(const QString& name, const QString& label, int top) {
    m_layout.add(whiteLabel(label, USP), {12, top, m_labelWidth, 21}, DesignLayout::TopOnly);
    auto* edit = new QLineEdit(USP);
    edit->setObjectName(name);
    edit->installEventFilter(this);
    m_layout.add(edit, {m_fieldLeft, top, FieldRight - m_fieldLeft, 21}, DesignLayout::TopOnly);
    m_fields << edit;
    return edit;
}

QFrame* TSETT_FRM::buildServicePanel(const QString& name, const QString& button, QLineEdit*& folder,
                                     QPushButton*& browse, QPushButton*& start,
                                     QProgressBar*& bar) {
    QFrame* frame = panel(name, this);
    whiteLabel(QStringLiteral("Folder :"), frame)->setGeometry(12, 38, 66, 22);
    folder = new QLineEdit(frame);
    folder->setReadOnly(true);
    folder->setGeometry(80, 38, 240, 22);
    browse = new QPushButton(QStringLiteral("..."), frame);
    browse->setGeometry(326, 37, 30, 24);
    start = new QPushButton(button, frame);
    start->setGeometry(80, 74, 120, 28);
    bar = new QProgressBar(frame);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setFormat(QStringLiteral("%p%"));
    bar->setGeometry(80, 112, 276, 20);
    for (QWidget* w : {static_cast<QWidget*>(folder), static_cast<QWidget*>(browse),
                       static_cast<QWidget*>(start)})
        w->installEventFilter(this);
    return frame;
}

// ---- showing, saving, sizing

void TSETT_FRM::setUp() {
    for (QWidget* field : m_fields) {
        const QString value = m_settings.ReadText(KeyPrefix + field->objectName(), QString());
        if (auto* memo = qobject_cast<QPlainTextEdit*>(field)) {
            QString text = value;
            memo->setPlainText(text.replace(CrLf, QStringLiteral("\n")));
        } else {
            static_cast<QLineEdit*>(field)->setText(value);
        }
    }
}

void TSETT_FRM::writeSettings() {
    for (QWidget* field : m_fields) {
        QString text;
        if (auto* memo = qobject_cast<QPlainTextEdit*>(field))
            text = memo->toPlainText().split(u'\n').join(CrLf);
        else
            text = static_cast<QLineEdit*>(field)->text();
        m_settings.WriteText(KeyPrefix + field->objectName(), text);
    }
}

void TSETT_FRM::showEvent(QShowEvent* event) {
    Page::showEvent(event);
    USR->setFocus();
}

void TSETT_FRM::resizeEvent(QResizeEvent* event) {
    Page::resizeEvent(event);
    FormResize();
}

// The fields keep their left edge and width and spread over the panel's height: tops and the
// memo's height follow the page's height against its design height. They are computed from
// the designed values each time, so repeated resizes never drift.
void TSETT_FRM::FormResize() {
    USP->setGeometry(3, 16, 371, qMax(0, height() - 26));
    m_layout.apply(size());
    const int shift = width() - DesignWidth;
    m_bkp->setGeometry(ServiceLeft + shift, BackupTop, ServiceWidth, ServiceHeight);
    m_rsp->setGeometry(ServiceLeft + shift, RestoreTop, ServiceWidth, ServiceHeight);
    m_headings[0]->setGeometry(18, 3, 129, 26);
    m_headings[1]->setGeometry(ServiceLeft + HeadingInset + shift, BackupTop - 13, 129, 26);
    m_headings[2]->setGeometry(ServiceLeft + HeadingInset + shift, RestoreTop - 13, 129, 26);
    for (QWidget* heading : m_headings)
        heading->raise();
}

// ---- typing

void TSETT_FRM::COMChange(QLineEdit* sender) {
    if (!sender->hasFocus() || tag() != 1)
        return;
    emit titleChanged(ownerTitle());
}

QString TSETT_FRM::ownerTitle() const {
    return COM->text().isEmpty() ? USR->text() : COM->text();
}

// Enter moves on from an edit box as Tab does and presses a focused button; the memo keeps
// Enter for its new lines.
bool TSETT_FRM::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (auto* button = qobject_cast<QPushButton*>(watched)) {
                button->click();
                return true;
            }
            if (qobject_cast<QLineEdit*>(watched)) {
                focusNextChild();
                return true;
            }
        }
    }
    return Page::eventFilter(watched, event);
}

// ---- backup and restore

void TSETT_FRM::BAKSPClick() {
    if (!BAK->text().isEmpty())
        m_gdir.setStartFolder(BackupRestore::BackupBrowseStart(BAK->text()));
    const QString chosen = m_gdir.execute(this);
    if (!chosen.isEmpty())
        BAK->setText(BackupRestore::backupFolderFor(chosen));
}

void TSETT_FRM::RESSPClick() {
    if (!RES->text().isEmpty())
        m_gdir.setStartFolder(RES->text());
    const QString chosen = m_gdir.execute(this);
    if (!chosen.isEmpty())
        RES->setText(chosen);
}

void TSETT_FRM::SBAKClick() {
    RequireText(BAK);
    runWith(BPRG, SBAK, true, BAK->text());
}

// A set that cannot be restored is said at once; a usable one is restored only when the user
// confirms, since it replaces every contact and setting.
void TSETT_FRM::SRESClick() {
    RequireText(RES);
    if (m_backupRestore.running())
        return;
    const QString folder = RES->text();
    if (const QString why = m_backupRestore.checkSet(folder); !why.isEmpty()) {
        qWarning("tessaro-kavelin: restore failed: %s", qPrintable(why.simplified()));
        ShowBalloon(SRES, QStringLiteral("Restore Failed. Check Folder."), BalloonKind::Error);
        return;
    }
    const QString question =
        QStringLiteral("Restore the backup in %1, made %2? The current contacts and settings "
                       "are replaced by it (a copy of them is kept).")
            .arg(QDir::toNativeSeparators(folder),
                 QLocale().toString(BackupRestore::setDate(folder), QLocale::ShortFormat));
    if (!Prompt::confirm(this, question))
        return;
    runWith(RPRG, SRES, false, folder);
}

// Runs one backup or restore with the hourglass; the window keeps painting its bar meanwhile,
// and the outcome is told in a balloon at the button.
void TSETT_FRM::runWith(QProgressBar* bar, QPushButton* button, bool backup,
                        const QString& folder) {
    if (m_backupRestore.running())
        return;
    WaitCursor wait;
    m_activeBar = bar;
    const bool ok = backup ? m_backupRestore.backup(folder) : m_backupRestore.restore(folder);
    m_activeBar = nullptr;
    if (!ok && !m_backupRestore.lastError().isEmpty())
        qWarning("tessaro-kavelin: %s failed: %s", backup ? "backup" : "restore",
                 qPrintable(m_backupRestore.lastError().simplified()));
    if (backup)
        ShowBalloon(button,
                    ok ? QStringLiteral("Backup Complete")
                       : QStringLiteral("Backup Failed. Check Folder."),
                    ok ? BalloonKind::Information : BalloonKind::Error);
    else if (ok)
        // Shown longer than the other balloons: it says where the replaced files are kept.
        ShowBalloon(button,
                    QStringLiteral("Restore Complete\nThe replaced files are kept in %1")
                        .arg(QDir::toNativeSeparators(m_backupRestore.safetyFolder())),
                    BalloonKind::Information, RestoreBalloonMs);
    else
        ShowBalloon(button, QStringLiteral("Restore Failed. Check Folder."), BalloonKind::Error);
}
