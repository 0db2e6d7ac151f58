#include "app/TMF.h"

#include "app/Balloon.h"
#include "app/BalloonPresenter.h"
#include "app/HeaderPanel.h"
#include "app/Helpers.h"
#include "app/Page.h"
#include "app/PictureButton.h"
#include "app/PicturePanel.h"
#include "app/SettingsStore.h"
#include "app/ShadowLabel.h"
#include "app/TkApplication.h"
#include "app/TrayMenu.h"
#include "app/WaitCursor.h"
#include "business/TBDIR_FRM.h"
#include "data/RestoreSwap.h"
#include "dialer/TDialer_frm.h"
#include "info/TINFO_FRM.h"
#include "online/AdvertMarker.h"
#include "online/AdvertPane.h"
#include "online/HtmlView.h"
#include "online/ServiceClient.h"
#include "online/UpdateCheck.h"
#include "personal/TPDIR_FRM.h"
#include "platform/Shell.h"
#include "ptcl/TPFDIR_FRM.h"
#include "settings/TSETT_FRM.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDeadlineTimer>
#include <QDir>
#include <QGridLayout>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QSystemTrayIcon>
#include <cstdio>

namespace {
std::optional<int>& updateIntervalOverride() {
    static std::optional<int> value;
    return value;
}

std::optional<bool>& trayOverride() {
    static std::optional<bool> value;
    return value;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/assets/icon/tessaro-kavelin-%1.png").arg(size),
                     QSize(size, size));
    return icon;
}

void paintPanel(QWidget* panel, const QColor& colour) {
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, colour);
    panel->setPalette(pal);
    panel->setAutoFillBackground(true);
}

constexpr int UpdateCheckMs = 30000;
constexpr int AdvertTickMs = 15000;
constexpr int AdvertSoonMs = 100;
constexpr int AdvertDoneMs = 250;
// An ordinary refresh comes this long after the previous advertisement request.
constexpr quint32 AdvertRefreshMs = 200000;
} // namespace

TMF::TMF()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      m_tick([] { return quint32(QDeadlineTimer::current().deadline()); }),
      m_advertTickMs(AdvertTickMs) {
    FormCreate();
}

TMF::~TMF() {
    SetAppStartCursor(true);
    if (!m_exiting) {
        for (Page* p : m_pages)
            if (p)
                p->finish();
    }
    // The windows go before the databases and the store they work on.
    delete m_trayMenu;
    m_trayMenu = nullptr;
    while (!children().isEmpty())
        delete children().constFirst();
}

void TMF::FormCreate() {
    setObjectName(QStringLiteral("TMF"));
    QApplication::setApplicationDisplayName(Title);
    recoverInterruptedRestore();
    m_db.open();
    XFS = std::make_unique<SettingsStore>(QStringLiteral("settings.xml"));

    m_mbil = ImageList::MBIL();
    m_sbil = ImageList::SBIL();
    m_cbil = ImageList::CBIL();
    m_bil = ImageList::BIL();
    m_gimg = ImageList::GIMG();
    setWindowIcon(programIcon());
    QApplication::setWindowIcon(windowIcon());

    MSG = new BalloonPresenter(this);
    m_service =
        new ServiceClient(ServiceClient::Bases(*XFS), ServiceClient::DefaultReplyFile, this);
    connect(m_service, &ServiceClient::errorOccurred, this,
            [this](const QString& text) { TkApplication::showError(text, this); });
    createHeader();
    createContent();
    createTray();

    UPD_CHE.setInterval(updateIntervalOverride().value_or(UpdateCheckMs));
    UPD_DL.setInterval(updateIntervalOverride().value_or(UpdateCheckMs));
    connect(&UPD_CHE, &UpdateTimer::timeout, this, &TMF::UPD_CHETimer);
    connect(&UPD_DL, &UpdateTimer::timeout, this, &TMF::UPD_DLTimer);
    m_updates = new UpdateCheck(
        m_db.SYS_MM, QStringLiteral("../temp"), UPD_CHE, UPD_DL,
        {[this](const QString& request) { return IT_ProReq(request); },
         [this](const QString& request, QStringList& lines) { return IT_GetInfo(request, lines); }},
        this);
    ADV_UPD.setInterval(AdvertTickMs);
    connect(&ADV_UPD, &QTimer::timeout, this, &TMF::ADV_UPDTimer);
    ADV_DON.setSingleShot(true);
    ADV_DON.setInterval(AdvertDoneMs);
    connect(&ADV_DON, &QTimer::timeout, this, &TMF::ADV_DONTimer);
    // A refresh whose tick came while the program was not yet (or no longer) the active one
    // follows at once when it becomes active: at start the first tick can come before the
    // desktop has activated the new window, and it would otherwise wait a whole tick.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive && ADV_UPD.isActive() && advertDue())
                    ADV_UPD.start(AdvertSoonMs);
            });
    connect(ADV_TOP, &HtmlView::beforeNavigate, this, [this] { ADV_DON.stop(); });
    connect(ADV_TOP, &HtmlView::documentComplete, this, [this] {
        ADV_DON.start();
        SetAppStartCursor(true);
    });

    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    connect(quit, &QShortcut::activated, this, &TMF::exitProgram);

    ADV_TOP->loadHtml(QStringLiteral("<html><body bgcolor=\"#536a9f\"></body></html>"));
    resize(800, 508);
}

// A restore the program did not live to finish is completed (or its leftovers removed) before
// the databases and the settings file are read.
void TMF::recoverInterruptedRestore() {
    RestoreSwap swap({QStringLiteral("../DATA/DATA.FDB"), QStringLiteral("../DATA/SYS.FDB")},
                     QStringLiteral("settings.xml"));
    if (const QStringList told = swap.recover(); !told.isEmpty())
        std::fprintf(stderr, "tessaro-kavelin: %s\n", qPrintable(told.join(QStringLiteral("; "))));
}

void TMF::createHeader() {
    m_header = new HeaderPanel(this);
    m_header->setObjectName(QStringLiteral("Header"));
    connect(m_header, &HeaderPanel::contextMenuRequested, this, &TMF::popUpMenuAt);

    ADV_TOP = new HtmlView(m_header);
    ADV_TOP->setObjectName(QStringLiteral("ADV_TOP"));
    img_p1 = new PicturePanel(QStringLiteral(":/assets/header/tlogo.svg"), QSize(150, 100),
                              Qt::AlignLeft, PanelColour, m_header);
    img_p1->setObjectName(QStringLiteral("img_p1"));
    img_p2 = new PicturePanel(QStringLiteral(":/assets/header/tban.svg"), QSize(600, 100),
                              Qt::AlignRight, PanelColour, m_header);
    img_p2->setObjectName(QStringLiteral("img_p2"));

    TIT = new ShadowLabel(m_header);
    TIT->setObjectName(QStringLiteral("TIT"));
    QFont titleFont(QStringLiteral("Times New Roman"));
    titleFont.setStyleHint(QFont::Serif);
    titleFont.setPixelSize(27);
    titleFont.setBold(true);
    TIT->setFont(titleFont);
    QPalette pal = TIT->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    TIT->setPalette(pal);
    TIT->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    CBTN = new PictureButton(m_cbil, 0, m_header);
    CBTN->setObjectName(QStringLiteral("CBTN"));
    CBTN->setPaintHandler([this](PictureButton* b) { GBPaint(b); });
    CBTN->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(CBTN, &QAbstractButton::clicked, this, &TMF::CBTNClick);
    connect(CBTN, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popUpMenuAt(CBTN->mapToGlobal(at)); });

    GB0 = createPageButton(QStringLiteral("GB0"), m_mbil, 0, QString());
    Gb1 = createPageButton(QStringLiteral("Gb1"), m_mbil, 1, QString());
    Gb2 = createPageButton(QStringLiteral("Gb2"), m_mbil, 2, QString());
    Gb3 = createPageButton(QStringLiteral("Gb3"), m_sbil, 0, QStringLiteral("Settings"));
    Gb4 = createPageButton(QStringLiteral("Gb4"), m_sbil, 1, QStringLiteral("About"));
    Gb5 = createPageButton(QStringLiteral("Gb5"), m_sbil, 2, QStringLiteral("Watch Live Demo"));
}

PictureButton* TMF::createPageButton(const QString& name, const ImageList& list, int tag,
                                     const QString& hint) {
    auto* button = new PictureButton(list, tag, m_header);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setPaintHandler([this](PictureButton* b) { GBPaint(b); });
    connect(button, &QAbstractButton::clicked, this, [this, button] { GBClick(button); });
    return button;
}

void TMF::createContent() {
    MCONT = new QWidget(this);
    MCONT->setObjectName(QStringLiteral("MCONT"));
    paintPanel(MCONT, PanelColour);
    CONT = new QWidget(MCONT);
    CONT->setObjectName(QStringLiteral("CONT"));
    paintPanel(CONT, PanelColour);
    STP = new QWidget(MCONT);
    STP->setObjectName(QStringLiteral("STP"));
    paintPanel(STP, PanelColour);
    STP->hide();

    auto* stack = new QGridLayout(MCONT);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(CONT, 0, 0);
    stack->addWidget(STP, 0, 0);
    auto* pages = new QGridLayout(CONT);
    pages->setContentsMargins(0, 0, 0, 0);
}

void TMF::createTray() {
    TRAY = new QSystemTrayIcon(windowIcon(), this);
    TRAY->setObjectName(QStringLiteral("TRAY"));
    m_trayMenu = new TrayMenu(m_db);
    connect(TRAY, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger)
            TRAYClick();
        else if (r == QSystemTrayIcon::Context)
            m_trayMenu->popup(QCursor::pos());
    });
    connect(m_trayMenu, &TrayMenu::directoryChosen, this, [this](int tag) {
        bringForward();
        GBClick(tag == 0 ? GB0 : tag == 1 ? Gb1 : Gb2);
    });
    connect(m_trayMenu, &TrayMenu::dialRequested, this, &TMF::DialHotContact);
    connect(m_trayMenu, &TrayMenu::showHideChosen, this, &TMF::TRAYClick);
    connect(m_trayMenu, &TrayMenu::exitChosen, this, &TMF::Close1Click);
}

void TMF::createWindows() {
    if (m_windowsCreated)
        return;
    m_windowsCreated = true;
    m_dialer = new TDialer_frm(m_db, *XFS, this);
    // The personal page creates the folder and contact editors it opens, before itself.
    auto* personal = new TPDIR_FRM(m_db, *XFS, MCONT, CONT);
    setPage(0, personal);
    auto* business = new TBDIR_FRM(m_db, *XFS, MCONT, CONT);
    business->setPersonalPage(personal);
    business->setServiceBase(m_service->base(0));
    setPage(1, business);
    auto* ptcl = new TPFDIR_FRM(m_db, *XFS, MCONT, CONT);
    ptcl->setPersonalPage(personal);
    setPage(2, ptcl);
    auto* settingsPage = new TSETT_FRM(m_db, *XFS, MCONT, CONT);
    setPage(3, settingsPage);
    connect(settingsPage, &TSETT_FRM::titleChanged, TIT, &QLabel::setText);
    connect(settingsPage, &TSETT_FRM::settingsWanted, this, &TMF::writePageSettings);
    // A restored data database: the personal page reads it afresh the next time it is chosen.
    connect(settingsPage, &TSETT_FRM::dataRestored, this, [this] {
        if (Page* personal = page(0))
            personal->setTag(0);
    });
    setPage(4, new TINFO_FRM(CONT));
}

void TMF::setPage(int number, Page* page) {
    if (number < 0 || number >= PageCount)
        return;
    Page* old = m_pages[number];
    m_pages[number] = page;
    delete old;
    if (page) {
        page->setParent(CONT);
        page->hide();
        connect(page, &Page::advertQueryReady, this, [this](const QString& query) {
            AdQuery = query;
            RefreshAdsSoon();
        });
        connect(page, &Page::dialRequested, this, [this](const DialRequest& request) {
            if (m_dialer)
                m_dialer->Ring(request);
        });
    }
}

Page* TMF::page(int number) const {
    return number >= 0 && number < PageCount ? m_pages[number] : nullptr;
}

Page* TMF::shownPage() const {
    for (Page* p : m_pages)
        if (p && p->parentWidget() == CONT && !p->isHidden())
            return p;
    return nullptr;
}

void TMF::startMinimised() {
    FormShow();
    if (!trayAvailable())
        showMinimized();
}

void TMF::bringForward() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void TMF::exitProgram() {
    if (m_exiting)
        return;
    m_exiting = true;
    // Every reply still awaited is given up first: a page waiting for a search ends its wait.
    HttpClient::abortAll();
    UPD_CHE.stop();
    UPD_DL.stop();
    ADV_UPD.stop();
    ADV_DON.stop();
    writePageSettings();
    XFS->Flush();
    SetAppStartCursor(true);
    TRAY->hide();
    hide();
    // The PTCL page gives its plug-in back when the windows are destroyed after the loop.
    QCoreApplication::quit();
}

void TMF::writePageSettings() {
    for (Page* p : m_pages)
        if (p)
            p->finish();
}

void TMF::FormShow() {
    if (windowTitle() == Title)
        return;
    QString owner = XFS->ReadText(QStringLiteral("USRINF\\COM"), QString());
    if (owner.isEmpty())
        owner = XFS->ReadText(QStringLiteral("USRINF\\USR"), QString());
    TIT->setText(owner);
    TRAY->setVisible(true);
    QDir().mkpath(QStringLiteral("../temp"));
    TRAY->setToolTip(Title);
    setWindowTitle(Title);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 800, 508 + BottomStrip);
    setGeometry(0, 0, area.width(), area.height() - BottomStrip);
    GBClick(GB0);
    update();
    if (!UPD_CHE.isActive())
        UPD_CHE.start();
    if (!ADV_UPD.isActive())
        ADV_UPD.start();
}

void TMF::GBClick(PictureButton* sender) {
    CurPage = TextAfter(QStringLiteral("GB"), sender->objectName().toUpper()).toInt();
    if (CurPage == 5) {
        WaitCursor wait;
        const QUrl demo(demoAddress());
        Shell::open(demo, [button = QPointer<QWidget>(Gb5), demo] {
            ShowBalloon(
                button,
                QStringLiteral("No web browser is set up here to open %1").arg(demo.toString()),
                BalloonKind::Information, 6000);
        });
        return;
    }
    for (PictureButton* b : {GB0, Gb1, Gb2, Gb3, Gb4, Gb5}) {
        if (b->mark() == QStringLiteral("1")) {
            b->setMark(QString());
            b->update();
        }
    }
    sender->setMark(QStringLiteral("1"));
    if (!sender->pointerOver()) {
        sender->setImageIndex(2 * sender->tag() + 1);
        sender->update();
    }
    RF(CurPage);
    if (CurPage > 2)
        img_p2->setVisible(true);
    else
        RefreshAdsSoon();
}

void TMF::GBPaint(PictureButton* sender) {
    if (!sender->isEnabled())
        return;
    if (sender->pointerOver())
        sender->setImageIndex(2 * sender->tag() + 1);
    else if (sender->mark().isEmpty())
        sender->setImageIndex(2 * sender->tag());
}

void TMF::RF(int number) {
    Page* target = page(number);
    if (Page* current = shownPage())
        current->hide();
    if (!target)
        return;
    if (target->tag() == 0) {
        STP->show();
        STP->raise();
    }
    switch (target->tag()) {
    case 0: {
        target->setParent(CONT);
        paintPanel(target, CONT->palette().color(QPalette::Window));
        target->show();
        // A page set up afresh (after a restore) is in the layout already.
        if (CONT->layout()->indexOf(target) < 0)
            static_cast<QGridLayout*>(CONT->layout())->addWidget(target, 0, 0);
        target->setTag(2);
        // The page's show handler once more, now with its set-up pending.
        QShowEvent again;
        QCoreApplication::sendEvent(target, &again);
        break;
    }
    case 1:
        target->show();
        target->raise();
        break;
    default: // a set-up that did not finish
        break;
    }
    // Asked of the cover itself: while the window is hidden (a start with "-h") no child
    // counts as visible, yet the cover would show once the window comes forward.
    if (!STP->isHidden()) {
        STP->hide();
        target->update();
    }
}

void TMF::TRAYClick() {
    if (!isVisible() || isMinimized()) {
        bringForward();
        return;
    }
    if (QApplication::activeModalWidget())
        return;
    const QWidget* active = QApplication::activeWindow();
    if (active && active != this)
        return;
    hideToTray();
}

void TMF::hideToTray() {
    if (trayAvailable())
        hide();
    else
        showMinimized();
}

void TMF::popUpMenuAt(const QPoint& globalPos) {
    // Where the desktop has no tray, the tray menu (with "Exit") opens from the header instead.
    if (!trayAvailable())
        m_trayMenu->popup(globalPos);
}

bool TMF::trayAvailable() const {
    if (trayOverride())
        return *trayOverride();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TMF::setTrayAvailableOverride(std::optional<bool> available) {
    trayOverride() = available;
}

void TMF::setUpdateIntervalOverride(std::optional<int> ms) {
    updateIntervalOverride() = ms;
}

QString TMF::demoAddress() const {
    const QString address = XFS->ReadText(QStringLiteral("SERVICE\\DEMO"), QString());
    return IfHasText(address, TrimBlanks(address), DefaultDemoAddress);
}

void TMF::RefreshAdsSoon() {
    LastAdTick -= 200000;
    ADV_UPD.stop();
    ADV_UPD.setInterval(AdvertSoonMs);
    ADV_UPD.start();
}

void TMF::SetAppStartCursor(bool restore) {
    // Nothing system-wide is touched: while an advertisement loads, the top pane shows the
    // plain arrow.
    if (restore == !m_appStartCursorReplaced)
        return;
    m_appStartCursorReplaced = !restore;
    if (restore)
        ADV_TOP->viewport()->unsetCursor();
    else
        ADV_TOP->viewport()->setCursor(Qt::ArrowCursor);
}

void TMF::DialHotContact(const DialRequest& dial) {
    if (!m_dialer || m_dialer->isVisible())
        return;
    m_dialer->Ring(dial);
}

bool TMF::IT_ProReq(const QString& request) {
    return m_service->IT_ProReq(request);
}

bool TMF::IT_GetInfo(const QString& request, QStringList& lines) {
    return m_service->IT_GetInfo(request, lines);
}

bool TMF::ReqBusy() const {
    return m_service->ReqBusy();
}

void TMF::UPD_CHETimer() {
    m_updates->UPD_CHETimer();
}

void TMF::UPD_DLTimer() {
    m_updates->UPD_DLTimer();
}

bool TMF::advertDue() const {
    // At least (not more than) the waiting time, so that a refresh asked for in the same
    // millisecond as the last request is not lost.
    return HasText(AdQuery) || quint32(m_tick() - LastAdTick) >= AdvertRefreshMs;
}

void TMF::ADV_UPDTimer() {
    ADV_UPD.setInterval(m_advertTickMs);
    if (CurPage > 2 || !inForeground())
        return; // a pending query waits for a later tick
    const bool withQuery = HasText(AdQuery);
    if (!advertDue())
        return;
    const QString query = withQuery ? AdQuery : QString();
    SetAppStartCursor(false);
    // The side pane first: it carries the counter before the top request raises it.
    if (Page* shown = page(CurPage); shown && CurPage >= 1)
        if (AdvertPane* pane = shown->advertPane())
            RequestAdvert(pane->ADV_LFT, query);
    RequestAdvert(ADV_TOP, query);
    AdQuery.clear();
}

void TMF::RequestAdvert(HtmlView* view, const QString& query) {
    LastAdTick = m_tick();
    const QString key =
        (query.isEmpty() ? QStringLiteral("ADV\\CNT") : QStringLiteral("ADV\\CNTQ")) +
        QString::number(CurPage);
    int counter = XFS->ReadNumber(key, 0);
    if (view == ADV_TOP)
        XFS->WriteNumber(key, ++counter);
    const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
    QString text = QStringLiteral("pgi=%1&cnt=%2&scr=%3")
                       .arg(CurPage)
                       .arg(counter)
                       .arg(shown ? shown->geometry().width() : 0);
    if (!query.isEmpty())
        text += QStringLiteral("&qry=") + query;
    const QString endpoint =
        view == ADV_TOP ? QStringLiteral("adv_top.php?") : QStringLiteral("adv_lft.php?");
    view->navigate(QUrl(m_service->base(0) + endpoint + text));
}

void TMF::ADV_DONTimer() {
    ADV_DON.stop();
    // The settings and information pages keep the banner over the strip whatever arrives.
    img_p2->setVisible(CurPage > 2 || !HasDoneMarker(ADV_TOP->documentSource()));
}

bool TMF::inForeground() const {
    return QGuiApplication::applicationState() == Qt::ApplicationActive && isVisible() &&
           !isMinimized();
}

void TMF::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    FormShow();
}

void TMF::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void TMF::layOut() {
    // Positions follow the 790-pixel-wide design client area; right-anchored parts keep their
    // distance from the right edge, stretching parts grow with the width.
    const int w = width();
    m_header->setGeometry(0, 0, w, HeaderHeight);
    TIT->setGeometry(21, 6, std::max(0, w - 21 - 50), 40);
    CBTN->setGeometry(w - 45, 9, 27, 27);
    ADV_TOP->setGeometry(16, 49, std::max(0, w - 32), 100);
    img_p1->setGeometry(16, 49, 150, 100);
    img_p2->setGeometry(166, 49, std::max(0, w - 182), 100);
    GB0->setGeometry(3, 166, 155, 35);
    Gb1->setGeometry(158, 166, 155, 35);
    Gb2->setGeometry(312, 166, 155, 35);
    Gb3->setGeometry(w - 113, 166, 35, 35);
    Gb4->setGeometry(w - 78, 166, 35, 35);
    Gb5->setGeometry(w - 41, 166, 35, 35);
    MCONT->setGeometry(0, HeaderHeight, w, std::max(0, height() - HeaderHeight));
}

void TMF::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || m_exiting)
        return;
    // Minimised by other means (taskbar, window manager): go to the tray.
    if (isMinimized() && trayAvailable())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
}

void TMF::closeEvent(QCloseEvent* event) {
    if (m_exiting) {
        event->accept();
        return;
    }
    event->ignore();
    hideToTray();
}
