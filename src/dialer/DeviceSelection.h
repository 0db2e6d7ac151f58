#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;

// The modal "Device Selection" dialog: the line devices in a drop-down list with OK and Cancel.
// Tests queue the next answer, and the dialog is then not shown at all.
class DeviceSelection : public QDialog {
    Q_OBJECT
public:
    DeviceSelection(const QStringList& names, QWidget* parent = nullptr);

    int chosenIndex() const;

    // Shows the dialog; answers the chosen index, or -1 for Cancel.
    static int choose(const QStringList& names, QWidget* parent = nullptr);
    // The answer of the next choice instead of showing the dialog (-1 for Cancel).
    static void setNextChoice(int index);
    // The names offered at the last choice.
    static QStringList lastOffered();

private:
    QComboBox* m_list;
};
