#pragma once

#include "directory/DirectoryListView.h"

#include <functional>

class ContactListModel;
class QMimeData;

// The contact list control VST_E of the personal page: the directory list whose rows can also
// be dragged onto the folder tree.
class ContactListView : public DirectoryListView {
    Q_OBJECT
public:
    explicit ContactListView(QWidget* parent = nullptr);

    void setContactModel(ContactListModel* model);
    ContactListModel* contactModel() const { return m_model; }

    // A quiet hint drawn in the middle of the list while it has no rows (empty: none).
    void setEmptyText(const QString& text);
    QString emptyText() const { return m_emptyText; }

    // Adds what a drag of the selected contacts carries for other programs (a vCard file).
    void setDragPayload(std::function<void(QMimeData&)> payload) { m_payload = std::move(payload); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    ContactListModel* m_model = nullptr;
    QString m_emptyText;
    std::function<void(QMimeData&)> m_payload;
};
