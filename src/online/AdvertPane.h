#pragma once

#include <QTimer>
#include <QWidget>

class HtmlView;

// A side advertisement pane for a directory page: the view ADV_LFT under a plain cover
// ADV_COV of the panels' colour, which is taken away only once the loaded page proves
// complete (ADV_DON checks for the marker 250 ms after the page has arrived).
class AdvertPane : public QWidget {
    Q_OBJECT
public:
    static constexpr int DoneCheckMs = 250;

    explicit AdvertPane(QWidget* parent = nullptr);

    HtmlView* ADV_LFT;
    QWidget* ADV_COV;
    QTimer ADV_DON;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ADV_DONTimer();
};
