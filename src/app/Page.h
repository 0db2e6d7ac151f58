#pragma once

#include "dialer/DialRequest.h"

#include <QWidget>

class AdvertPane;

// A page docked into the main window's content panel. Its tag follows the docking protocol:
// 0 not yet docked, 2 docked with its one-time set-up pending, 1 set up.
class Page : public QWidget {
    Q_OBJECT
public:
    explicit Page(QWidget* parent = nullptr) : QWidget(parent) {}

    int tag() const { return m_tag; }

    // The page's side advertisement pane, or null for a page without one.
    virtual AdvertPane* advertPane() const { return nullptr; }
    void setTag(int tag) { m_tag = tag; }

    // Called by the main window at the end of the program, before the settings are saved:
    // a page that was set up writes its settings.
    void finish() {
        if (m_tag == 1)
            writeSettings();
    }

signals:
    // After a search: the advertisement query for the next refresh, already URL-encoded.
    void advertQueryReady(const QString& query);
    // A ring action asks for the dialer with these inputs; the main window opens it.
    void dialRequested(const DialRequest& request);

protected:
    // One-time set-up at the first showing: read settings, fill lists.
    virtual void setUp() {}
    virtual void writeSettings() {}

    void showEvent(QShowEvent* event) override {
        QWidget::showEvent(event);
        if (m_tag == 2) {
            setUp();
            m_tag = 1;
        }
    }

private:
    int m_tag = 0;
};
