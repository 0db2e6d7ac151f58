#pragma once

#include <QDialog>

// The dialling window, created once at start and shown modally for a call; for now an empty
// window that holds its place in the start-up order.
class TDialer_frm : public QDialog {
    Q_OBJECT
public:
    explicit TDialer_frm(QWidget* parent = nullptr);
};
