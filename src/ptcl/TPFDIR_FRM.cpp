#include "ptcl/TPFDIR_FRM.h"

#include "app/Balloon.h"
#include "app/Helpers.h"
#include "app/SettingsStore.h"
#include "app/SilentAbort.h"
#include "app/TrayMenuStyle.h"
#include "app/WaitCursor.h"
#include "business/CopyToFolder.h"
#include "data/Databases.h"
#include "directory/ActionButton.h"
#include "directory/ActionStrip.h"
#include "directory/DetailPane.h"
#include "directory/DirectoryListView.h"
#include "directory/ListMenu.h"
#include "directory/PageFrame.h"
#include "directory/PanelLook.h"
#include "directory/SearchBox.h"
#include "online/AdvertPane.h"
#include "personal/CollapseBar.h"
#include "personal/TPC_EDT_FRM.h"
#include "personal/TPDIR_FRM.h"
#include "ptcl/PtclListModel.h"
#include "ptcl/PtclSearch.h"
#include "reports/ReportRows.h"
#include "reports/RtfView.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScopeGuard>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

const QString Prefix = QStringLiteral("FD\\");

} // namespace

TPFDIR_FRM::TPFDIR_FRM(Databases& databases, SettingsStore& settings, QWidget*, QWidget* parent)
    : Page(parent), m_db(databases), m_settings(settings), m_host(m_pwb),
      m_rows(new PtclListModel(this)) {
    setObjectName(QStringLiteral("TPFDIR_FRM"));
    m_rows->setRowIcon(PanelLook::listImage(1, style()));

    QWidget* search = buildSearchPanel();
    QWidget* centre = buildCentre();
    m_strip = new ActionStrip({ActionStrip::DL, ActionStrip::RTF}, this);
    connect(m_strip, &ActionStrip::ringClicked, this, [this] { DLClick(); });
    connect(m_strip, &ActionStrip::reportClicked, this, &TPFDIR_FRM::RTFClick);
    m_dsp->setReportSource(
        [this](ReportTable& ds) { ReportRows::fillPtclReport(ds, selectedRows()); },
        m_strip->button(ActionStrip::RTF));

    PageFrame::arrange(this, search, centre, m_strip);
    buildMenu();

    // The plug-in lives beside the program; without it searches say so in the status label.
    // Its host starts with the first search, so the program's start does not wait for it.
    m_host.setLibrary(QCoreApplication::applicationDirPath() + u'/' + PlugInFile);
    m_cancelKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_cancelKey->setContext(Qt::WindowShortcut);
    m_cancelKey->setEnabled(false);
    connect(m_cancelKey, &QShortcut::activated, this, &TPFDIR_FRM::cancelSearch);
}

TPFDIR_FRM::~TPFDIR_FRM() {
    // The host is killed, not asked: the program's end never waits for a plug-in.
    m_host.stop();
    m_pwb.abort();
}

bool TPFDIR_FRM::loadPlugIn(const QString& fileName) {
    m_host.setLibrary(fileName);
    return m_host.load();
}

SearchBox* TPFDIR_FRM::addBox(const QString& label, const QString& historyKey, const QString& hint,
                              const PageFrame::SearchPanel& search) {
    search.layout->addWidget(PanelLook::label(label, search.panel));
    auto* box =
        new SearchBox(m_settings, historyKey, PanelLook::listImage(3, style()), search.panel);
    box->searchButton()->setToolTip(hint);
    box->searchButton()->setVisible(!hint.isEmpty());
    connect(box, &SearchBox::searchRequested, this, [this, box] { SRBClick(box); });
    if (!hint.isEmpty()) {
        // Ctrl+S in a box with a button acts as a click on it.
        auto* ctrlS = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), box);
        ctrlS->setContext(Qt::WidgetShortcut);
        connect(ctrlS, &QShortcut::activated, this, [this, box] { SRBClick(box); });
    }
    search.layout->addWidget(box);
    return box;
}

QWidget* TPFDIR_FRM::buildSearchPanel() {
    const PageFrame::SearchPanel search =
        PageFrame::searchPanel(this, QStringLiteral("PTCL Search"));
    m_qphn = addBox(QStringLiteral("Phone # :"), Prefix + QStringLiteral("QPHN_L"),
                    QStringLiteral("Search by Phone Number"), search);
    m_qphn->setObjectName(QStringLiteral("QPHN"));
    m_qphn->setMaxLength(7);
    m_qtit = addBox(QStringLiteral("Name :"), Prefix + QStringLiteral("QTIT_L"),
                    QStringLiteral("Search by Name & Address "), search);
    m_qtit->setObjectName(QStringLiteral("QTIT"));
    m_qadd =
        addBox(QStringLiteral("Address :"), Prefix + QStringLiteral("QADD_L"), QString(), search);
    m_qadd->setObjectName(QStringLiteral("QADD"));
    m_rcf = PageFrame::addStatusLabel(search);
    m_advert = PageFrame::addSideAdvert(search);
    return search.panel;
}

QWidget* TPFDIR_FRM::buildCentre() {
    m_dsp = new DetailPane(QStringLiteral("FD"), ReportTable::Layout::Ptcl, m_settings, this);
    m_list = PageFrame::resultList(m_dsp, m_rows);
    for (int c = 0; c < PtclListModel::Columns; ++c)
        m_list->horizontalHeader()->resizeSection(c, PtclListModel::columnWidth(c));
    m_dsp->setDetailFill([this](ReportTable& ds) { return fillDetail(ds); });
    return m_dsp;
}

void TPFDIR_FRM::buildMenu() {
    m_pcMnu = new ListMenu(this);
    m_pcMnu->openOnRightClick(m_list, [this] { PC_MNUPopup(); });
    connect(m_pcMnu->selectAll(), &QAction::triggered, m_list, &QAbstractItemView::selectAll);
}

void TPFDIR_FRM::setUp() {
    m_qphn->setText(m_settings.ReadText(Prefix + QStringLiteral("QPHN"), QString()));
    m_qtit->setText(m_settings.ReadText(Prefix + QStringLiteral("QTIT"), QString()));
    m_qadd->setText(m_settings.ReadText(Prefix + QStringLiteral("QADD"), QString()));
    m_dsp->readSettings();
    m_strip->placeButtons();
}

void TPFDIR_FRM::showEvent(QShowEvent* event) {
    Page::showEvent(event);
    m_qphn->setFocus();
    m_qphn->selectAll();
}

void TPFDIR_FRM::writeSettings() {
    m_settings.WriteText(Prefix + QStringLiteral("QPHN"), m_qphn->text());
    m_settings.WriteText(Prefix + QStringLiteral("QTIT"), m_qtit->text());
    m_settings.WriteText(Prefix + QStringLiteral("QADD"), m_qadd->text());
    m_dsp->writeSettings();
}

// ---- search

// Checks the boxes the search reads, keeps their texts in the histories and builds the request:
// the phone box searches by number, the other two by name and address.
QByteArray TPFDIR_FRM::searchRequest(SearchBox* box) {
    if (box == m_qphn) {
        const QString phone = m_qphn->text();
        switch (PtclSearch::checkPhone(phone)) {
        case PtclSearch::PhoneCheck::Empty:
            ShowBalloon(m_qphn, QStringLiteral("Empty Phone Number"), BalloonKind::Error);
            throw SilentAbort();
        case PtclSearch::PhoneCheck::Invalid:
            ShowBalloon(m_qphn, QStringLiteral("Invalid Phone Number"), BalloonKind::Error);
            throw SilentAbort();
        case PtclSearch::PhoneCheck::Valid:
            break;
        }
        m_qphn->remember(phone);
        return PtclSearch::phoneRequest(phone);
    }
    const QString name = m_qtit->text();
    const QString address = m_qadd->text();
    if (!HasText(name) && !HasText(address)) {
        ShowBalloon(m_qtit, QStringLiteral("Empty Name & Address"), BalloonKind::Error);
        throw SilentAbort();
    }
    if (HasText(name))
        m_qtit->remember(name);
    if (HasText(address))
        m_qadd->remember(address);
    return PtclSearch::nameAddressRequest(name, address);
}

// Answers false, with the status label telling why, when the search got no reply to read. A
// plug-in that stopped answers with an error reply saying so.
bool TPFDIR_FRM::callPlugIn(const QByteArray& request, QByteArray& reply) {
    m_cancelKey->setEnabled(true);
    const PlugInHost::Outcome outcome = m_host.process(0, request, reply);
    m_cancelKey->setEnabled(false);
    switch (outcome) {
    case PlugInHost::Outcome::NotLoaded:
        m_rcf->setText(NoPlugIn);
        return false;
    case PlugInHost::Outcome::Cancelled:
        m_rcf->setText(Cancelled);
        return false;
    case PlugInHost::Outcome::Replied:
    case PlugInHost::Outcome::Stopped:
        break;
    }
    return true;
}

void TPFDIR_FRM::cancelSearch() {
    m_host.cancel();
}

void TPFDIR_FRM::SRBClick(SearchBox* box) {
    if (m_busy)
        return; // a search is still waiting for the directory
    box->closeSuggestions();
    m_busy = true;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const auto idle = qScopeGuard([this] {
        m_busy = false;
        QApplication::restoreOverrideCursor();
    });
    const QByteArray request = searchRequest(box);
    m_strip->disableAll();
    m_rows->clear();
    m_dsp->detailView()->clear();
    m_rcf->setText(QStringLiteral("Waiting for Reply..."));
    m_rcf->repaint();
    QByteArray answer;
    if (!callPlugIn(request, answer))
        return;
    const PtclSearch::Reply reply = PtclSearch::parseReply(answer);
    if (reply.isError) {
        m_rcf->setText(reply.message);
    } else {
        m_rows->setRows(reply.rows);
        m_rcf->setText(QStringLiteral("%1 Records Found").arg(m_rows->rowCount()));
        if (m_rows->rowCount() > 0)
            m_list->focusRow(0);
    }
    emit advertQueryReady(UrlEncode(QStringLiteral("ptcl")));
}

// ---- list, detail and actions

const PtclRow* TPFDIR_FRM::firstSelectedRow() const {
    return m_list->firstSelectedIn(*m_rows);
}

QList<PtclRow> TPFDIR_FRM::selectedRows() const {
    return m_list->selectedIn(*m_rows);
}

bool TPFDIR_FRM::fillDetail(ReportTable& ds) {
    const PtclRow* first = firstSelectedRow();
    if (!first)
        return false;
    m_strip->apply({/*DL*/ !first->PHN.isEmpty(), false, false, false, /*RTF*/ true});
    ReportRows::fillPtclDetail(ds, *first);
    return true;
}

void TPFDIR_FRM::RTFClick() {
    m_dsp->showReport();
}

DialRequest TPFDIR_FRM::dialRequest(const PtclRow& row) {
    DialRequest request;
    request.SettingsPrefix = QStringLiteral("FD");
    request.AreaCode = row.PHN.left(3);
    request.Numbers = SplitText(row.PHN.mid(3, 10), QStringLiteral(","), false);
    request.MobileCall = false;
    request.DialTitle = row.CNAM;
    return request;
}

void TPFDIR_FRM::DLClick() {
    if (const PtclRow* first = firstSelectedRow())
        emit dialRequested(dialRequest(*first));
}

// ---- context menu and copy

void TPFDIR_FRM::PC_MNUPopup() {
    const bool selected = m_list->firstSelectedRow() >= 0;
    m_pcMnu->prepare(selected, m_personal, [this](QAction* item) { copyToFolder(item); });
}

void TPFDIR_FRM::copyToFolder(QAction* item) {
    if (!m_personal)
        return;
    QList<ContactRow> rows;
    for (const PtclRow& entry : selectedRows()) {
        ContactRow row;
        row.CNAM = entry.CNAM;
        row.ADR = entry.ADR;
        row.PHN = entry.PHN;
        rows.append(row);
    }
    if (rows.isEmpty())
        return;
    WaitCursor wait;
    CopyToFolder::copy(m_personal->contactEditor()->CDT(), m_db.DTR, item->data().toInt(), rows);
}
