#include "personal/TC_EDT_FRM.h"

#include "app/Balloon.h"
#include "contacts/EditText.h"
#include "contacts/EditingStatements.h"
#include "data/DatabaseError.h"
#include "data/Transaction.h"
#include "personal/EditorFields.h"
#include "personal/EditorKeyFilter.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>

namespace {
QLabel* fieldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}
} // namespace

TC_EDT_FRM::TC_EDT_FRM(Transaction& transaction, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_transaction(transaction),
      m_cdt(transaction), m_layout(QSize(DesignedWidth, DesignedHeight)),
      m_keys(new EditorKeyFilter(this)) {
    setObjectName(QStringLiteral("TC_EDT_FRM"));
    setWindowTitle(QStringLiteral("Folder Manager"));
    setModal(true);
    setAutoFillBackground(true);
    EditingStatements::configureFolder(m_cdt);

    m_hdg = new QLabel(QStringLiteral("Create Folder"), this);
    m_hdg->setObjectName(QStringLiteral("HDG"));
    m_hdg->setAutoFillBackground(true);
    m_hdg->setIndent(16);
    QFont big = m_hdg->font();
    big.setPixelSize(18);
    big.setBold(true);
    m_hdg->setFont(big);

    m_prt = new QLineEdit(this);
    m_prt->setObjectName(QStringLiteral("PRT"));
    m_prt->setReadOnly(true);
    m_prt->setFocusPolicy(Qt::NoFocus);
    QAction* top = m_prt->addAction(style()->standardIcon(QStyle::SP_FileDialogToParent),
                                    QLineEdit::TrailingPosition);
    top->setObjectName(QStringLiteral("PRT_BTN"));
    top->setToolTip(QStringLiteral("Move to the top level"));
    connect(top, &QAction::triggered, this, &TC_EDT_FRM::PRTButtonClick);

    m_title = new QLineEdit(this);
    m_title->setObjectName(QStringLiteral("TITLE"));
    connect(m_title, &QLineEdit::textChanged, this, &TC_EDT_FRM::titleEdited);

    m_com = new QPlainTextEdit(this);
    m_com->setObjectName(QStringLiteral("COM"));
    m_com->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_com->setTabChangesFocus(true);
    connect(m_com, &QPlainTextEdit::textChanged, this, &TC_EDT_FRM::limitMemo);

    m_sav = new QPushButton(QStringLiteral("&Save"), this);
    m_sav->setObjectName(QStringLiteral("SAV"));
    m_sav->setAutoDefault(false);
    connect(m_sav, &QPushButton::clicked, this, &TC_EDT_FRM::SAVClick);
    m_ext = new QPushButton(QStringLiteral("&Exit"), this);
    m_ext->setObjectName(QStringLiteral("EXT"));
    m_ext->setAutoDefault(false);
    connect(m_ext, &QPushButton::clicked, this, &TC_EDT_FRM::EXTClick);

    m_keys->watch(m_title, true);
    m_keys->watch(m_com, false);
    setTabOrder(m_title, m_com);
    setTabOrder(m_com, m_sav);
    setTabOrder(m_sav, m_ext);

    m_layout.add(m_hdg, {0, 0, DesignedWidth, 40}, DesignLayout::TopOnly);
    m_layout.add(fieldLabel(QStringLiteral("Address :"), this), {16, 58, 90, 24},
                 DesignLayout::TopOnly);
    m_layout.add(m_prt, {112, 58, 500, 24}, DesignLayout::TopOnly);
    m_layout.add(fieldLabel(QStringLiteral("Tile :"), this), {16, 92, 90, 24},
                 DesignLayout::TopOnly);
    m_layout.add(m_title, {112, 92, 500, 24}, DesignLayout::TopOnly);
    m_layout.add(fieldLabel(QStringLiteral("Comments :"), this), {16, 126, 90, 24},
                 DesignLayout::TopOnly);
    m_layout.add(m_com, {112, 126, 500, 56}, DesignLayout::TopOnly | DesignLayout::Height);
    resize(DesignedWidth, DesignedHeight);
    setColour(QColor(0x53, 0x6A, 0x9F));
}

void TC_EDT_FRM::setColour(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::WindowText, Qt::white);
    setPalette(p);
    QPalette header = m_hdg->palette();
    header.setColor(QPalette::Window, colour.darker(140));
    header.setColor(QPalette::WindowText, Qt::white);
    m_hdg->setPalette(header);
}

void TC_EDT_FRM::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const QSize size = event->size();
    m_layout.apply(size);
    // The header spans the window; the buttons keep to the bottom edge.
    m_hdg->setGeometry(0, m_hdg->y(), size.width(), m_hdg->height());
    const int y = size.height() - 42;
    m_sav->setGeometry(612 - 2 * 96 - 8, y, 96, 28);
    m_ext->setGeometry(612 - 96, y, 96, 28);
}

void TC_EDT_FRM::prepare() {
    m_prt->setText(ParentPath);
    const QString word = m_mode == 2 ? QStringLiteral("Update") : QStringLiteral("Create");
    m_hdg->setText(word + QStringLiteral(" Folder"));
    m_sav->setText(u'&' + word);
    m_cdt.close();
    if (m_mode == 2) {
        m_cdt.setParam(QStringLiteral("VL"), EditFolderId);
        m_cdt.open();
    } else {
        m_cdt.setParam(QStringLiteral("VL"), 0);
        m_cdt.open();
        appendRow();
    }
    EditorFields::limitLength(m_title, m_cdt.fieldLength(QStringLiteral("TITLE")));
    m_title->setText(m_cdt.field(QStringLiteral("TITLE")).toString());
    m_com->setPlainText(m_cdt.field(QStringLiteral("COM")).toString());
    m_title->setFocus();
}

int TC_EDT_FRM::execute() {
    prepare();
    if (m_bounds.isValid())
        setGeometry(m_bounds);
    return exec();
}

void TC_EDT_FRM::appendRow() {
    m_cdt.append();
    m_cdt.setField(QStringLiteral("PCD"), ParentId);
}

void TC_EDT_FRM::PRTButtonClick() {
    if (m_cdt.state() == DataSetEditor::State::Browse)
        m_cdt.edit();
    m_cdt.setField(QStringLiteral("PCD"), 0);
    m_prt->clear();
}

void TC_EDT_FRM::SAVClick() {
    RequireText(m_title);
    try {
        if (m_cdt.state() == DataSetEditor::State::Browse)
            m_cdt.edit();
        m_cdt.setField(QStringLiteral("TITLE"),
                       EditText::stored(m_cdt.field(QStringLiteral("TITLE")), m_title->text()));
        m_cdt.setField(QStringLiteral("COM"),
                       EditText::stored(m_cdt.field(QStringLiteral("COM")), m_com->toPlainText()));
        m_cdt.post();
        m_transaction.CommitRetaining();
    } catch (const DatabaseError&) {
        ShowBalloon(m_sav, QStringLiteral("Operation Failed"), BalloonKind::Error);
        return;
    }
    if (m_mode == 2) {
        FolderRow row;
        row.CD = m_cdt.field(QStringLiteral("CD")).toInt();
        row.TITLE = m_cdt.field(QStringLiteral("TITLE")).toString();
        row.COM = m_cdt.field(QStringLiteral("COM")).toString();
        emit folderUpdated(row);
        accept();
        return;
    }
    appendRow();
    m_prt->setText(ParentPath);
    m_title->clear();
    m_com->clear();
    m_title->setFocus();
    ShowBalloon(m_sav, QStringLiteral("Create Successful, Create Next"), BalloonKind::Information);
}

void TC_EDT_FRM::done(int result) {
    m_prt->clear();
    m_cdt.close();
    QDialog::done(result);
}

void TC_EDT_FRM::titleEdited() {
    EditorFields::clean(m_title, EditText::withoutBackslashes);
}

void TC_EDT_FRM::limitMemo() {
    EditorFields::limit(m_com, m_cdt.fieldLength(QStringLiteral("COM")));
}
