#pragma once

#include <QTableView>

class ContactListModel;

// The contact list control VST_E: rows 25 pixels high with grid lines, several rows selectable,
// a right click selecting the row under the mouse, rows dragged onto the folder tree.
class ContactListView : public QTableView {
    Q_OBJECT
public:
    explicit ContactListView(QWidget* parent = nullptr);

    void setContactModel(ContactListModel* model);
    ContactListModel* contactModel() const { return m_model; }

    // Selected rows in list order.
    QList<int> selectedRowNumbers() const;
    // The first selected row in list order, or -1.
    int firstSelectedRow() const;
    void focusRow(int row);
    // A quiet hint drawn in the middle of the list while it has no rows (empty: none).
    void setEmptyText(const QString& text);
    QString emptyText() const { return m_emptyText; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    ContactListModel* m_model = nullptr;
    QString m_emptyText;
};
