#pragma once

#include "directory/ContactActions.h"

#include <QList>
#include <QWidget>

class ActionButton;

// The strip of action buttons at the right edge of a directory page (62 pixels wide): the
// buttons are placed one under another as the strip's height allows, start disabled, and
// report their clicks.
class ActionStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int StripWidth = 62;
    enum Tag { EM = 0, DL = 1, HMP = 2, MBL = 3, RTF = 4 };

    // The buttons in strip order, by tag: DL, MBL, EM, HMP, RTF on the contact pages.
    explicit ActionStrip(const QList<Tag>& tags, QWidget* parent = nullptr);

    ActionButton* button(int tag) const;
    const QList<ActionButton*>& buttons() const { return m_buttons; }
    void disableAll();
    // Enables the buttons the strip has by the states of the first selected row.
    void apply(const ContactActions::ButtonStates& states);
    // Places the i-th button at the top (height / 4 - 15) * i.
    void placeButtons();

signals:
    void ringClicked(bool mobile);
    void mailClicked();
    void homePageClicked();
    void reportClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<ActionButton*> m_buttons;
};
