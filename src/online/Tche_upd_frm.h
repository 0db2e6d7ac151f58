#pragma once

#include <QDialog>
#include <QTimer>

class Databases;
class QLabel;
class QProgressBar;
class UpdateInstaller;

// The installer window shown at start-up when a downloaded update is ready: a borderless
// 518 x 87 panel with the step being done (LB) and its progress (PRG). Its work starts once it
// is shown and it closes itself; tag 3 tells start-up the update is installed.
class Tche_upd_frm : public QDialog {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 518;
    static constexpr int ClientHeight = 87;
    static constexpr int InstalledTag = 3;

    Tche_upd_frm(Databases& db, const QString& programDir = QStringLiteral("."),
                 QWidget* parent = nullptr);
    ~Tche_upd_frm() override;

    int tag() const { return m_tag; }
    UpdateInstaller& installer() { return *m_installer; }

    QLabel* LB;
    QProgressBar* PRG;
    QTimer Tim;

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override {} // Escape does not stop an installation

private:
    void TimTimer();

    std::unique_ptr<UpdateInstaller> m_installer;
    int m_tag = 0;
};
