#pragma once

#include <QObject>
#include <QSet>

class QWidget;

// Key rules of the editor windows: Enter in a field moves to the next field as Tab does (Shift
// or Ctrl with Enter still breaks a line in a memo), and fields marked so discard a typed
// backslash.
class EditorKeyFilter : public QObject {
    Q_OBJECT
public:
    explicit EditorKeyFilter(QObject* parent = nullptr) : QObject(parent) {}

    void watch(QWidget* field, bool refuseBackslash);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSet<QObject*> m_noBackslash;
};
