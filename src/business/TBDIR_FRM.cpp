#include "business/TBDIR_FRM.h"

#include "app/Balloon.h"
#include "app/Helpers.h"
#include "app/SettingsStore.h"
#include "app/SilentAbort.h"
#include "app/TrayMenuStyle.h"
#include "app/WaitCursor.h"
#include "business/BusinessListModel.h"
#include "business/BusinessReply.h"
#include "business/CopyToFolder.h"
#include "data/Databases.h"
#include "directory/ActionButton.h"
#include "directory/ActionStrip.h"
#include "directory/DetailPane.h"
#include "directory/DirectoryActions.h"
#include "directory/DirectoryListView.h"
#include "directory/ListMenu.h"
#include "directory/PageFrame.h"
#include "directory/PanelLook.h"
#include "directory/SearchBox.h"
#include "online/AdvertPane.h"
#include "online/HttpClient.h"
#include "personal/CollapseBar.h"
#include "personal/TPC_EDT_FRM.h"
#include "personal/TPDIR_FRM.h"
#include "reports/ReportRows.h"
#include "reports/RtfView.h"

#include <QApplication>
#include <QBuffer>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QScopeGuard>
#include <QVBoxLayout>
#include <stdexcept>

namespace {
// The status label shows at most this much of a reply's status text: a reply without ">" can
// be megabytes long, and a label that lays out all of it freezes the window.
constexpr int StatusShown = 300;
} // namespace

TBDIR_FRM::TBDIR_FRM(Databases& databases, SettingsStore& settings, QWidget*, QWidget* parent)
    : Page(parent), m_db(databases), m_settings(settings), m_client(new HttpClient(this)),
      m_rows(new BusinessListModel(this)) {
    setObjectName(QStringLiteral("TBDIR_FRM"));
    m_client->setMaxBodyBytes(ReplyCeiling);
    m_client->setTotalLimit(HttpClient::TotalLimitMs);
    m_rows->setRowIcon(PanelLook::listImage(1, style()));

    QWidget* search = buildSearchPanel();
    QWidget* centre = buildCentre();
    m_strip = new ActionStrip(
        {ActionStrip::DL, ActionStrip::MBL, ActionStrip::EM, ActionStrip::HMP, ActionStrip::RTF},
        this);
    connect(m_strip, &ActionStrip::ringClicked, this, &TBDIR_FRM::DLClick);
    connect(m_strip, &ActionStrip::mailClicked, this, [this] {
        const QList<BusinessRow> rows = selectedRows();
        DirectoryActions::sendMail({rows.begin(), rows.end()}, m_strip->button(ActionStrip::EM));
    });
    connect(m_strip, &ActionStrip::homePageClicked, this, [this] {
        DirectoryActions::visitHomePage(firstSelectedRow(), m_strip->button(ActionStrip::HMP));
    });
    connect(m_strip, &ActionStrip::reportClicked, this, &TBDIR_FRM::RTFClick);
    m_dsp->setReportSource(
        [this](ReportTable& ds) { ReportRows::fillContactReport(ds, selectedRows()); },
        m_strip->button(ActionStrip::RTF));

    PageFrame::arrange(this, search, centre, m_strip);
    buildMenu();
}

TBDIR_FRM::~TBDIR_FRM() {
    // A search still waiting ends here; its wait returns as aborted.
    m_client->abort();
}

QWidget* TBDIR_FRM::buildSearchPanel() {
    const PageFrame::SearchPanel search =
        PageFrame::searchPanel(this, QStringLiteral("Search Tessaro B.D"));
    m_srb = new SearchBox(m_settings, HistoryKey, PanelLook::listImage(3, style()), search.panel);
    connect(m_srb, &SearchBox::searchRequested, this, &TBDIR_FRM::SRBButtonClick);
    search.layout->addWidget(m_srb);
    m_rcf = PageFrame::addStatusLabel(search);
    m_advert = PageFrame::addSideAdvert(search);
    return search.panel;
}

QWidget* TBDIR_FRM::buildCentre() {
    m_dsp = new DetailPane(QStringLiteral("BD"), ReportTable::Layout::Contact, m_settings, this);
    m_list = PageFrame::resultList(m_dsp, m_rows);
    m_dsp->setDetailFill([this](ReportTable& ds) { return fillDetail(ds); });
    return m_dsp;
}

void TBDIR_FRM::buildMenu() {
    m_pcMnu = new ListMenu(this);
    m_pcMnu->openOnRightClick(m_list, [this] { PC_MNUPopup(); });
    connect(m_pcMnu->selectAll(), &QAction::triggered, this, &TBDIR_FRM::PC_SAClick);
}

void TBDIR_FRM::setUp() {
    m_srb->setText(m_settings.ReadText(SearchKey, QString()));
    m_dsp->readSettings();
    m_strip->placeButtons();
}

void TBDIR_FRM::showEvent(QShowEvent* event) {
    Page::showEvent(event);
    m_srb->setFocus();
    m_srb->selectAll();
}

void TBDIR_FRM::writeSettings() {
    m_settings.WriteText(SearchKey, m_srb->text());
    m_dsp->writeSettings();
}

// ---- search

QString TBDIR_FRM::requestAddress(const QString& text) const {
    return m_base + QStringLiteral("resultra.php?q=") + UrlEncode(text);
}

QString TBDIR_FRM::advertKeyword(const QString& text, const QList<BusinessRow>& rows) {
    return rows.isEmpty() ? text : text + u' ' + rows.first().BDS;
}

// Fetches the reply while the window keeps handling events; any failure of the transfer, an
// error status or a redirect included, gives the failure reply.
QByteArray TBDIR_FRM::request(const QString& text) {
    if (m_base.isEmpty())
        return FailedReply.toLatin1();
    QBuffer body;
    body.open(QIODevice::WriteOnly);
    const HttpResult result =
        m_client->fetch(QUrl::fromEncoded(requestAddress(text).toLatin1()), &body);
    if (result.transferFailed() || result.status >= 300)
        return FailedReply.toLatin1();
    return body.data();
}

void TBDIR_FRM::showStatus(const QString& status) {
    QString shown = status.left(StatusShown);
    shown.replace(u'\r', u' ').replace(u'\n', u' ');
    if (status.size() > StatusShown)
        shown += QStringLiteral("...");
    m_rcf->setText(shown);
}

void TBDIR_FRM::SRBButtonClick() {
    if (m_busy)
        return; // a search is already waiting for its reply
    m_srb->closeSuggestions();
    const QString text = m_srb->text();
    if (!HasText(text)) {
        ShowBalloon(m_srb, QStringLiteral("Empty Search"), BalloonKind::Error);
        throw SilentAbort();
    }
    m_srb->remember(text);
    if (latin1Safe(text) != text)
        ShowBalloon(m_srb,
                    QStringLiteral("The directory is searched in Latin letters: other letters "
                                   "are sent as \"?\"."),
                    BalloonKind::Information);

    BusinessReply reply;
    {
        m_busy = true;
        QApplication::setOverrideCursor(Qt::BusyCursor);
        const auto idle = qScopeGuard([this] {
            m_busy = false;
            QApplication::restoreOverrideCursor();
        });
        m_strip->disableAll();
        m_rows->clear();
        m_dsp->detailView()->clear();
        m_rcf->setText(QStringLiteral("Waiting for Reply..."));
        m_rcf->repaint();
        reply = BusinessReply::parse(request(text));
        if (reply.records > reply.rows.size())
            m_rcf->setText(QStringLiteral("Showing the first %1 of %2")
                               .arg(QLocale().toString(BusinessReply::MaxRows),
                                    QLocale().toString(reply.records)));
        else
            showStatus(reply.status);
        m_rows->appendRows(reply.rows);
    }
    if (!reply.error.isEmpty())
        throw std::runtime_error(reply.error.toStdString());
    if (m_rows->rowCount() > 0)
        m_list->focusRow(0);
    emit advertQueryReady(UrlEncode(advertKeyword(text, reply.rows)));
}

// ---- list, detail and actions

const BusinessRow* TBDIR_FRM::firstSelectedRow() const {
    return m_list->firstSelectedIn(*m_rows);
}

QList<BusinessRow> TBDIR_FRM::selectedRows() const {
    return m_list->selectedIn(*m_rows);
}

bool TBDIR_FRM::fillDetail(ReportTable& ds) {
    const BusinessRow* first = firstSelectedRow();
    if (!first)
        return false;
    m_strip->apply(ContactActions::enabling(*first, int(m_list->selectedRowNumbers().size())));
    ReportRows::fillContactDetail(ds, *first);
    return true;
}

void TBDIR_FRM::RTFClick() {
    m_dsp->showReport();
}

void TBDIR_FRM::DLClick(bool mobile) {
    if (const BusinessRow* row = firstSelectedRow())
        emit dialRequested(DirectoryActions::dialRequest(*row, mobile));
}

// ---- context menu and copy

void TBDIR_FRM::PC_MNUPopup() {
    const bool selected = m_list->firstSelectedRow() >= 0;
    m_pcMnu->prepare(selected, m_personal, [this](QAction* item) { copyToFolder(item); });
}

void TBDIR_FRM::PC_SAClick() {
    m_list->selectAll();
}

void TBDIR_FRM::copyToFolder(QAction* item) {
    const QList<BusinessRow> rows = selectedRows();
    if (rows.isEmpty() || !m_personal)
        return;
    WaitCursor wait;
    CopyToFolder::copy(m_personal->contactEditor()->CDT(), m_db.DTR, item->data().toInt(),
                       {rows.begin(), rows.end()});
}
