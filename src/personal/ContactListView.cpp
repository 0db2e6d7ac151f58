#include "personal/ContactListView.h"

#include "personal/ContactListModel.h"

#include <QDrag>
#include <QMimeData>
#include <QPainter>

ContactListView::ContactListView(QWidget* parent) : DirectoryListView(parent) {
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
}

void ContactListView::setContactModel(ContactListModel* model) {
    m_model = model;
    setListModel(model);
}

void ContactListView::startDrag(Qt::DropActions) {
    if (!m_model || firstSelectedRow() < 0)
        return;
    // A small picture and no copied row data: the drop reads the selection itself.
    auto* drag = new QDrag(this);
    QMimeData* data = m_model->mimeData({});
    if (m_payload)
        m_payload(*data);
    drag->setMimeData(data);
    const int count = int(selectedRowNumbers().size());
    QPixmap picture(140, 24);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(picture.rect(), Qt::AlignLeft | Qt::AlignVCenter,
                         count == 1 ? QStringLiteral("1 contact")
                                    : QStringLiteral("%1 contacts").arg(count));
    }
    drag->setPixmap(picture);
    // Moved onto a folder of the tree; copied (as a file) into other programs.
    drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::MoveAction);
}

void ContactListView::setEmptyText(const QString& text) {
    if (text == m_emptyText)
        return;
    m_emptyText = text;
    viewport()->update();
}

void ContactListView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    if (m_emptyText.isEmpty() || !m_model || m_model->rowCount() > 0)
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const QRect area = viewport()->rect().adjusted(12, 12, -12, -12);
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
}
