#include "online/Tche_upd_frm.h"

#include "online/UpdateInstaller.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>
#include <cstdio>

Tche_upd_frm::Tche_upd_frm(Databases& db, const QString& programDir, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog),
      m_installer(std::make_unique<UpdateInstaller>(db, programDir)) {
    setObjectName(QStringLiteral("Tche_upd_frm"));
    setWindowTitle(QStringLiteral("Updating"));
    setModal(true);
    setFixedSize(ClientWidth, ClientHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x53, 0x6A, 0x9F));
    setPalette(pal);

    LB = new QLabel(UpdateInstaller::ExtractingCaption, this);
    LB->setObjectName(QStringLiteral("LB"));
    LB->setStyleSheet(QStringLiteral(
        "color: white; font-family: Verdana, 'DejaVu Sans'; font-size: 21px; font-weight: bold;"));
    PRG = new QProgressBar(this);
    PRG->setObjectName(QStringLiteral("PRG"));
    PRG->setFixedSize(507, 41);
    PRG->setRange(0, 100);
    PRG->setValue(0);
    PRG->setFormat(QStringLiteral("%p%"));
    PRG->setAlignment(Qt::AlignCenter);
    PRG->setStyleSheet(QStringLiteral(
        "QProgressBar { background: #536A9F; border: 1px solid #8093C0; color: white;"
        " font-family: 'MS Sans Serif', 'DejaVu Sans'; font-size: 13px; font-weight: bold; }"
        "QProgressBar::chunk { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #FFDBB3, stop:1 #F28000); }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 4, 5, 5);
    layout->setSpacing(4);
    layout->addWidget(LB);
    layout->addWidget(PRG, 0, Qt::AlignHCenter);

    connect(m_installer.get(), &UpdateInstaller::captionChanged, LB, &QLabel::setText);
    connect(m_installer.get(), &UpdateInstaller::progressChanged, PRG, &QProgressBar::setValue);
    Tim.setInterval(10);
    Tim.setSingleShot(true);
    connect(&Tim, &QTimer::timeout, this, &Tche_upd_frm::TimTimer);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

Tche_upd_frm::~Tche_upd_frm() = default;

void Tche_upd_frm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_tag == 0 && !Tim.isActive())
        Tim.start();
}

void Tche_upd_frm::TimTimer() {
    if (m_installer->install()) {
        m_tag = InstalledTag;
    } else {
        // Start-up goes on normally; the line says why for whoever started the program.
        std::fprintf(stderr, "tessaro-kavelin: update not installed: %s\n",
                     qPrintable(m_installer->error()));
        m_tag = -1;
    }
    done(m_tag == InstalledTag ? Accepted : Rejected);
}
