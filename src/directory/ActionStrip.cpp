#include "directory/ActionStrip.h"

#include "directory/ActionButton.h"

ActionStrip::ActionStrip(const QList<Tag>& tags, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("BTN_STRIP"));
    setFixedWidth(StripWidth);
    for (Tag tag : tags) {
        static const char* const names[] = {"EM", "DL", "HMP", "MBL", "RTF"};
        static const char* const hints[] = {"Send E-Mail", "Ring Phone", "Visit Home Page",
                                            "Ring Mobile", "View Report"};
        auto* b = new ActionButton(tag, QString::fromLatin1(hints[tag]), this);
        b->setObjectName(QString::fromLatin1(names[tag]));
        b->setEnabled(false);
        m_buttons.append(b);
        switch (tag) {
        case DL:
        case MBL:
            connect(b, &QAbstractButton::clicked, this,
                    [this, mobile = tag == MBL] { emit ringClicked(mobile); });
            break;
        case EM:
            connect(b, &QAbstractButton::clicked, this, &ActionStrip::mailClicked);
            break;
        case HMP:
            connect(b, &QAbstractButton::clicked, this, &ActionStrip::homePageClicked);
            break;
        case RTF:
            connect(b, &QAbstractButton::clicked, this, &ActionStrip::reportClicked);
            break;
        }
    }
}

ActionButton* ActionStrip::button(int tag) const {
    for (ActionButton* b : m_buttons)
        if (b->tag() == tag)
            return b;
    return nullptr;
}

void ActionStrip::disableAll() {
    for (ActionButton* b : m_buttons)
        b->setEnabled(false);
}

void ActionStrip::apply(const ContactActions::ButtonStates& states) {
    const bool byTag[] = {states.EM, states.DL, states.HMP, states.MBL, states.RTF};
    for (ActionButton* b : m_buttons)
        b->setEnabled(byTag[b->tag()]);
}

void ActionStrip::placeButtons() {
    const int step = height() / 4 - 15;
    for (int i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->move((StripWidth - ActionButton::Side) / 2, step * i);
}

void ActionStrip::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeButtons();
}
