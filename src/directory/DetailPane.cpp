#include "directory/DetailPane.h"

#include "app/Balloon.h"
#include "app/SettingsStore.h"
#include "app/WaitCursor.h"
#include "directory/DirectoryActions.h"
#include "platform/Shell.h"
#include "reports/RtfView.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QVBoxLayout>

DetailPane::DetailPane(const QString& prefix, ReportTable::Layout layout, SettingsStore& settings,
                       QWidget* parent)
    : DetailSplitter(parent), m_prefix(prefix), m_settings(settings), m_reports(prefix, layout),
      m_dtp(new QWidget(this)), m_re(new RtfView(m_dtp)) {
    setObjectName(QStringLiteral("DSP"));
    m_dtp->setObjectName(QStringLiteral("DTP"));
    m_re->setObjectName(QStringLiteral("RE"));
    auto* v = new QVBoxLayout(m_dtp);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(m_re);
    addWidget(m_dtp);

    m_timBtv.setObjectName(QStringLiteral("TIM_BTV"));
    m_timBtv.setInterval(150);
    m_timBtv.setSingleShot(true);
    connect(&m_timBtv, &QTimer::timeout, this, &DetailPane::TIM_BTVTimer);
    connect(this, &DetailSplitter::restored, this, [this] {
        if (detailHeight() > 10)
            m_settings.WriteNumber(key("DTP"), detailHeight());
    });
}

QString DetailPane::key(const char* name) const {
    return m_prefix + u'\\' + QString::fromLatin1(name);
}

void DetailPane::setList(QWidget* list) {
    insertWidget(0, list);
    setStretchFactor(0, 1);
    setStretchFactor(1, 0);
}

void DetailPane::TIM_BTVTimer() {
    m_timBtv.stop();
    if (m_fill)
        m_fill(m_reports.DS());
    m_re->loadFile(m_reports.writeDetail());
}

void DetailPane::showReport(const ReportFill& fill, QWidget* button) {
    WaitCursor wait;
    fill(m_reports.DS());
    const QString written = QFileInfo(m_reports.writeReport()).absoluteFilePath();
    Shell::openFile(written, [button = QPointer<QWidget>(button), written] {
        ShowBalloon(button,
                    QStringLiteral("No program here opens RTF files. The report was written "
                                   "to %1")
                        .arg(QDir::toNativeSeparators(written)),
                    BalloonKind::Information, DirectoryActions::UnopenedBalloonMs);
    });
}

void DetailPane::readSettings() {
    setDetailHeight(m_settings.ReadNumber(key("DTP"), 152));
    setMaximised(m_settings.ReadFlag(key("DTP_M"), false));
}

void DetailPane::writeSettings() {
    m_settings.WriteFlag(key("DTP_M"), isMaximised());
    if (detailHeight() > 10)
        m_settings.WriteNumber(key("DTP"), detailHeight());
}
