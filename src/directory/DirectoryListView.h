#pragma once

#include <QTableView>

#include <type_traits>

// The result list VST_E of a directory page: rows 25 pixels high with grid lines, whole rows
// highlighted, several rows selectable, a right click selecting the row under the mouse, and
// the shared column widths.
class DirectoryListView : public QTableView {
    Q_OBJECT
public:
    explicit DirectoryListView(QWidget* parent = nullptr);

    // Sets the model and gives the columns their widths.
    void setListModel(QAbstractItemModel* model);

    // Selected rows in list order.
    QList<int> selectedRowNumbers() const;
    // The first selected row in list order, or -1.
    int firstSelectedRow() const;
    // Focuses and selects one row, alone.
    void focusRow(int row);

    // The model's record for the first selected row, or null; `model` answers row(int).
    template <class Model>
    auto firstSelectedIn(const Model& model) const -> decltype(&model.row(0)) {
        const int first = firstSelectedRow();
        return first < 0 ? nullptr : &model.row(first);
    }
    // Copies of the model's records for the selected rows, in list order.
    template <class Model> auto selectedIn(const Model& model) const {
        QList<std::remove_cvref_t<decltype(model.row(0))>> rows;
        for (int r : selectedRowNumbers())
            rows.append(model.row(r));
        return rows;
    }

signals:
    // The focus or the selection moved: the detail pane is due.
    void focusChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
