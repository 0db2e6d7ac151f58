#pragma once

#include <QLabel>

// A transparent caption label whose text carries a 1-pixel black shadow (the owner's name TIT).
class ShadowLabel : public QLabel {
    Q_OBJECT
public:
    explicit ShadowLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
