#include "app/TrayMenu.h"

#include "app/Helpers.h"
#include "app/TkApplication.h"
#include "app/TrayMenuStyle.h"
#include "app/WaitCursor.h"
#include "data/Databases.h"
#include "data/Query.h"
#include "directory/ContactActions.h"
#include "platform/Autostart.h"
#include "platform/Shell.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QUrl>

TrayMenu::TrayMenu(Databases& databases, QWidget* parent)
    : QMenu(parent), m_db(databases), m_hot(std::make_unique<Query>(databases.DTR)),
      m_programPath(QCoreApplication::applicationFilePath()) {
    setObjectName(QStringLiteral("TrayMenu"));
    TrayMenuStyle::apply(this);
    m_hot->setSql(HOTSQL);

    BusinessDirectory2 = addPageItem(QStringLiteral("Personal Directory"), 0);
    BusinessDirectory3 = addPageItem(QStringLiteral("Business Directory"), 1);
    BusinessDirectory1 = addPageItem(QStringLiteral("PTCL Directory"), 2);
    N7 = addSeparator();
    N7->setText(QStringLiteral("Hot Contacts"));
    Eml_Mnu = addHotMenu(QStringLiteral("E-Mail"));
    Mob_Mnu = addHotMenu(QStringLiteral("Mobile"));
    Pho_Mnu = addHotMenu(QStringLiteral("Phone"));
    N6 = addSeparator();
    RunOnStartup1 = addAction(QStringLiteral("Run On Startup"));
    RunOnStartup1->setCheckable(true);
    connect(RunOnStartup1, &QAction::triggered, this, &TrayMenu::RunOnStartup1Click);
    N8 = addSeparator();
    Show1 = addAction(QStringLiteral("Show/Hide"));
    connect(Show1, &QAction::triggered, this, &TrayMenu::showHideChosen);
    Close1 = addAction(QStringLiteral("Exit"));
    connect(Close1, &QAction::triggered, this, &TrayMenu::exitChosen);

    connect(this, &QMenu::aboutToShow, this, &TrayMenu::TrayMenuPopup);
}

TrayMenu::~TrayMenu() = default;

QAction* TrayMenu::addPageItem(const QString& caption, int tag) {
    QAction* item = addAction(caption);
    item->setData(tag);
    connect(item, &QAction::triggered, this, [this, tag] { emit directoryChosen(tag); });
    return item;
}

QMenu* TrayMenu::addHotMenu(const QString& title) {
    QMenu* menu = addMenu(title);
    TrayMenuStyle::apply(menu);
    connect(menu, &QMenu::triggered, this, &TrayMenu::HotContactClick);
    return menu;
}

void TrayMenu::addHotEntry(QMenu* menu, int key, const QString& name) {
    QAction* entry = new QAction(TrayMenuStyle::caption(name), menu);
    entry->setData(key);
    menu->addAction(entry);
}

void TrayMenu::TrayMenuPopup() {
    RunOnStartup1->setChecked(Autostart::isEnabled());

    m_hot->close();
    m_hot->open();
    for (QMenu* menu : {Pho_Mnu, Mob_Mnu, Eml_Mnu}) {
        for (QAction* entry : menu->actions())
            delete entry;
    }
    for (; !m_hot->eof(); m_hot->next()) {
        const int key = m_hot->value(QStringLiteral("CD")).toInt();
        const QString name = m_hot->value(QStringLiteral("CNAM")).toString();
        if (HasText(m_hot->value(QStringLiteral("PHN")).toString()))
            addHotEntry(Pho_Mnu, key, name);
        if (HasText(m_hot->value(QStringLiteral("MOB")).toString()))
            addHotEntry(Mob_Mnu, key, name);
        if (HasText(m_hot->value(QStringLiteral("EML")).toString()))
            addHotEntry(Eml_Mnu, key, name);
    }
}

void TrayMenu::HotContactClick(QAction* entry) {
    const QString key = QString::number(entry->data().toInt());
    QMenu* owner = qobject_cast<QMenu*>(entry->parent());
    if (owner == Pho_Mnu) {
        emit dialRequested(DialHotContact(key, false));
    } else if (owner == Mob_Mnu) {
        emit dialRequested(DialHotContact(key, true));
    } else if (owner == Eml_Mnu) {
        WaitCursor wait;
        const QString address = m_db.MM.QueryText(QStringLiteral("EML"), QStringLiteral("CONT"),
                                                  QStringLiteral("CD=") + key);
        Shell::open(ContactActions::mailUrl(address));
    }
}

DialRequest TrayMenu::DialHotContact(const QString& key, bool mobile) {
    const QString condition = QStringLiteral("CD=") + key;
    const QString table = QStringLiteral("CONT");
    DialRequest dial;
    dial.SettingsPrefix = QStringLiteral("PD");
    dial.MobileCall = mobile;
    dial.CityCode =
        QString::number(m_db.MM.QueryText(QStringLiteral("CCD"), table, condition).toInt());
    dial.DialTitle = m_db.MM.QueryText(QStringLiteral("CNAM"), table, condition);
    const QString numbers =
        m_db.MM.QueryText(mobile ? QStringLiteral("MOB") : QStringLiteral("PHN"), table, condition);
    dial.Numbers = SplitText(numbers, QStringLiteral(","), false);
    return dial;
}

void TrayMenu::RunOnStartup1Click() {
    // QAction has already toggled the check mark.
    try {
        if (RunOnStartup1->isChecked())
            Autostart::enable(m_programPath);
        else
            Autostart::disable();
    } catch (const std::exception& e) {
        TkApplication::showError(QString::fromLocal8Bit(e.what()));
    }
}
