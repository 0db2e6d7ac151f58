#pragma once

#include "contacts/ContactRow.h"
#include "data/DataSetEditor.h"
#include "personal/DesignLayout.h"

#include <QDialog>
#include <QMap>

class EditorKeyFilter;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class SettingsStore;
class Transaction;

// The contact editor "Contact Manager": a modal window laid over the content area that creates
// contacts one after another in a folder, or updates one contact, in table CONT. Its editing
// object CDT is also used without the window to insert copied listings.
class TPC_EDT_FRM : public QDialog {
    Q_OBJECT
public:
    static constexpr int DesignedWidth = 773;
    static constexpr int DesignedHeight = 321;
    static inline const QString CityKey = QStringLiteral("PD\\PC\\CCD");

    TPC_EDT_FRM(Transaction& transaction, SettingsStore& settings, QWidget* parent = nullptr);

    // Inputs, set before showing.
    int mode() const { return m_mode; } // 1 create, 2 update
    void setMode(int mode) { m_mode = mode; }
    int FolderId = 0;
    QString FolderPath;
    int ContactId = 0;
    void setColour(const QColor& colour);
    void setBounds(const QRect& bounds) { m_bounds = bounds; }

    // Prepares the window and shows it modally; answers the dialog result.
    int execute();
    // The preparation done at each showing.
    void prepare();

    void SAVClick();
    void EXTClick() { reject(); }
    // What gaining the focus does to the city box: propose the city saved last.
    void CCDEnter();

    DataSetEditor& CDT() { return m_cdt; }
    void done(int result) override;

    // The field bound to a column name ("CNAM", "PHN", ...), or null.
    QLineEdit* textField(const QString& column) const { return m_edits.value(column); }

signals:
    // Update mode: the saved contact's values for the list's first selected row.
    void contactUpdated(const ContactRow& row);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* addEdit(const QString& name, const QString& column);
    void place(QWidget* widget, QRect designed, int scale);
    void addLabel(const QString& text, QRect designed);
    void loadFields();
    void writeFields();
    void openCities();
    void cleanTitle();
    void limitMemo();
    ContactRow savedRow() const;

    Transaction& m_transaction;
    SettingsStore& m_settings;
    DataSetEditor m_cdt;
    DesignLayout m_layout;
    EditorKeyFilter* m_keys;
    int m_mode = 1;
    QRect m_bounds;
    bool m_hotTouched = false;
    QMap<QString, QLineEdit*> m_edits; // by column
    QLabel* m_hdg;
    QLabel* m_hdg1;
    QLabel* m_hdg2;
    QLabel* m_hdg3;
    QLineEdit* m_prt;
    QComboBox* m_ccd;
    QPlainTextEdit* m_bds;
    QCheckBox* m_hi;
    QPushButton* m_sav;
    QPushButton* m_ext;
};
