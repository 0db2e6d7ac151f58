#pragma once

#include "directory/DirectoryListView.h"

class ContactListModel;

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

protected:
    void paintEvent(QPaintEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    ContactListModel* m_model = nullptr;
    QString m_emptyText;
};
