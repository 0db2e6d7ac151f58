#include "dialer/DeviceSelection.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

namespace {
std::optional<int>& nextChoice() {
    static std::optional<int> choice;
    return choice;
}
QStringList& offered() {
    static QStringList names;
    return names;
}
} // namespace

DeviceSelection::DeviceSelection(const QStringList& names, QWidget* parent)
    : QDialog(parent), m_list(new QComboBox(this)) {
    setObjectName(QStringLiteral("DeviceSelection"));
    setWindowTitle(QStringLiteral("Device Selection"));
    setModal(true);
    m_list->addItems(names);
    m_list->setMinimumWidth(260);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
}

int DeviceSelection::chosenIndex() const {
    return m_list->currentIndex();
}

int DeviceSelection::choose(const QStringList& names, QWidget* parent) {
    offered() = names;
    if (nextChoice()) {
        const int index = *nextChoice();
        nextChoice().reset();
        return index;
    }
    DeviceSelection dialog(names, parent);
    // Above the always-on-top dialer that asks.
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    return dialog.exec() == QDialog::Accepted ? dialog.chosenIndex() : -1;
}

void DeviceSelection::setNextChoice(int index) {
    nextChoice() = index;
}

QStringList DeviceSelection::lastOffered() {
    return offered();
}
