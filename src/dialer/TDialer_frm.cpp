#include "dialer/TDialer_frm.h"

TDialer_frm::TDialer_frm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TDialer_frm"));
    setWindowTitle(QStringLiteral("Dialer"));
}
