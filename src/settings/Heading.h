#pragma once

#include <QWidget>

// A group heading of the settings page: white bold text on a band that fades from a deep blue
// into the page's colour.
class Heading : public QWidget {
    Q_OBJECT
public:
    Heading(const QString& text, QWidget* parent);
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};
