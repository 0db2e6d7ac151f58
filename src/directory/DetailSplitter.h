#pragma once

#include <QSplitter>

// The splitter DSP between a page's list and its detail pane: it can be dragged, and the
// button on its handle collapses the detail pane (the splitter is then "maximised") and brings
// it back.
class DetailSplitter : public QSplitter {
    Q_OBJECT
public:
    explicit DetailSplitter(QWidget* parent = nullptr);

    // The detail pane is the second widget.
    bool isMaximised() const { return m_maximised; }
    void setMaximised(bool maximised);
    int detailHeight() const;
    void setDetailHeight(int height);

signals:
    // The detail pane was brought back by the button.
    void restored();
    void maximisedChanged(bool maximised);

protected:
    QSplitterHandle* createHandle() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool m_maximised = false;
    int m_restoreHeight = 152;
    int m_wantedHeight = -1;
};
