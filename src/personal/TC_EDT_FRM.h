#pragma once

#include "contacts/FolderRow.h"
#include "data/DataSetEditor.h"
#include "personal/DesignLayout.h"

#include <QDialog>

class EditorKeyFilter;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class Transaction;

// The folder editor "Folder Manager": a modal window laid over the content area that creates
// folders one after another under a parent, or updates one folder, in table CATE.
class TC_EDT_FRM : public QDialog {
    Q_OBJECT
public:
    static constexpr int DesignedWidth = 640;
    static constexpr int DesignedHeight = 232;

    explicit TC_EDT_FRM(Transaction& transaction, QWidget* parent = nullptr);

    // Inputs, set before showing.
    int mode() const { return m_mode; } // 1 create, 2 update
    void setMode(int mode) { m_mode = mode; }
    int EditFolderId = 0;
    int ParentId = 0;
    QString ParentPath;
    void setColour(const QColor& colour);
    void setBounds(const QRect& bounds) { m_bounds = bounds; }

    // Prepares the window and shows it modally; answers the dialog result.
    int execute();
    // The preparation done at each showing (public for callers that show it themselves).
    void prepare();

    void SAVClick();
    void EXTClick() { reject(); }
    void PRTButtonClick();

    DataSetEditor& CDT() { return m_cdt; }
    void done(int result) override;

signals:
    // Update mode: the saved folder, for the tree's selected node.
    void folderUpdated(const FolderRow& row);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void appendRow();
    void titleEdited();
    void limitMemo();

    Transaction& m_transaction;
    DataSetEditor m_cdt;
    DesignLayout m_layout;
    EditorKeyFilter* m_keys;
    int m_mode = 1;
    QRect m_bounds;
    QLabel* m_hdg;
    QLineEdit* m_prt;
    QLineEdit* m_title;
    QPlainTextEdit* m_com;
    QPushButton* m_sav;
    QPushButton* m_ext;
};
