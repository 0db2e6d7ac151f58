#include "directory/DetailSplitter.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace {
// Splitter handle with a centred button that toggles the detail pane.
class DetailHandle : public QSplitterHandle {
public:
    DetailHandle(DetailSplitter* splitter) : QSplitterHandle(Qt::Vertical, splitter) {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* button = new QToolButton(this);
        button->setObjectName(QStringLiteral("DSP_BTN"));
        button->setFixedSize(48, 9);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setArrowType(Qt::DownArrow);
        layout->addStretch();
        layout->addWidget(button);
        layout->addStretch();
        connect(button, &QToolButton::clicked, splitter, [splitter] {
            const bool wasMaximised = splitter->isMaximised();
            splitter->setMaximised(!wasMaximised);
            if (wasMaximised)
                emit splitter->restored();
        });
        connect(splitter, &DetailSplitter::maximisedChanged, button, [button](bool maximised) {
            button->setArrowType(maximised ? Qt::UpArrow : Qt::DownArrow);
        });
    }
};
} // namespace

DetailSplitter::DetailSplitter(QWidget* parent) : QSplitter(Qt::Vertical, parent) {
    setObjectName(QStringLiteral("DSP"));
    setHandleWidth(9);
    setChildrenCollapsible(false);
}

QSplitterHandle* DetailSplitter::createHandle() {
    return new DetailHandle(this);
}

int DetailSplitter::detailHeight() const {
    if (count() < 2 || m_maximised)
        return 0;
    if (m_wantedHeight >= 0)
        return m_wantedHeight;
    return sizes().value(1);
}

void DetailSplitter::setDetailHeight(int height) {
    m_wantedHeight = height;
    if (count() < 2 || m_maximised)
        return;
    const int total = sizes().value(0) + sizes().value(1);
    if (total > 0 && isVisible()) {
        setSizes({qMax(0, total - height), height});
        m_wantedHeight = -1;
    }
}

void DetailSplitter::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    // The height asked for before the splitter had its size is applied once it has one.
    if (m_wantedHeight >= 0 && !m_maximised && count() == 2 && height() > 0) {
        setDetailHeight(m_wantedHeight);
    }
}

void DetailSplitter::setMaximised(bool maximised) {
    if (count() < 2 || maximised == m_maximised)
        return;
    if (maximised) {
        m_restoreHeight = detailHeight();
        m_maximised = true;
        widget(1)->hide();
    } else {
        m_maximised = false;
        widget(1)->show();
        setDetailHeight(m_restoreHeight > 10 ? m_restoreHeight : 152);
    }
    emit maximisedChanged(m_maximised);
}
