#include "personal/TPC_EDT_FRM.h"

#include "app/Helpers.h"

#include "app/Balloon.h"
#include "app/SettingsStore.h"
#include "contacts/EditText.h"
#include "contacts/EditingStatements.h"
#include "data/DatabaseError.h"
#include "data/Query.h"
#include "data/Transaction.h"
#include "personal/EditorFields.h"
#include "personal/EditorKeyFilter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>

namespace {
constexpr int Row0 = 60, Pitch = 25, RowHeight = 21;
constexpr int LeftLabel = 8, LeftEdit = 98, LeftWidth = 280;
constexpr int RightLabel = 392, RightEdit = 482, RightWidth = 283;
constexpr int LabelWidth = 86;
constexpr int Both = DesignLayout::TopOnly | DesignLayout::Horizontal;

int rowTop(int row) {
    return Row0 + row * Pitch;
}

QLabel* header(const QString& text, QWidget* parent, int pixelSize) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPixelSize(pixelSize);
    label->setFont(font);
    label->setAutoFillBackground(true);
    label->setIndent(8);
    return label;
}
} // namespace

TPC_EDT_FRM::TPC_EDT_FRM(Transaction& transaction, SettingsStore& settings, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_transaction(transaction),
      m_settings(settings), m_cdt(transaction), m_layout(QSize(DesignedWidth, DesignedHeight)),
      m_keys(new EditorKeyFilter(this)) {
    setObjectName(QStringLiteral("TPC_EDT_FRM"));
    setWindowTitle(QStringLiteral("Contact Manager"));
    setModal(true);
    setAutoFillBackground(true);
    EditingStatements::configureContact(m_cdt);

    m_hdg = header(QStringLiteral("Create Contact"), this, 18);
    m_hdg->setObjectName(QStringLiteral("HDG"));
    m_hdg1 = header(QStringLiteral("Primary Details"), this, 12);
    m_hdg1->setObjectName(QStringLiteral("HDG1"));
    m_hdg2 = header(QStringLiteral("Secondary Details"), this, 12);
    m_hdg2->setObjectName(QStringLiteral("HDG2"));
    m_hdg3 = header(QStringLiteral("Business Specifics"), this, 12);
    m_hdg3->setObjectName(QStringLiteral("HDG3"));
    place(m_hdg, {0, 0, DesignedWidth, 30}, DesignLayout::Horizontal);
    place(m_hdg1, {LeftLabel, 36, LeftEdit + LeftWidth - LeftLabel, 20}, Both);
    place(m_hdg2, {RightLabel, 36, RightEdit + RightWidth - RightLabel, 20}, Both);
    place(m_hdg3, {RightLabel, rowTop(4) - 1, RightEdit + RightWidth - RightLabel, 20}, Both);

    // Left column: primary details.
    m_prt = new QLineEdit(this);
    m_prt->setObjectName(QStringLiteral("PRT"));
    m_prt->setReadOnly(true);
    m_prt->setFocusPolicy(Qt::NoFocus);
    addLabel(QStringLiteral("Address :"), {LeftLabel, rowTop(0), LabelWidth, RowHeight});
    place(m_prt, {LeftEdit, rowTop(0), LeftWidth, RowHeight}, Both);

    const struct {
        const char* name;
        const char* column;
        const char* label;
        int row;
    } left[] = {{"TITLE", "CNAM", "TITLE :", 1}, {"PHN", "PHN", "Phone :", 3},
                {"FAX", "FAX", "Fax :", 4},      {"MOB", "MOB", "Mobile :", 5},
                {"EML", "EML", "E-Mail :", 6},   {"WEB", "WEB", "Website :", 7}};
    for (const auto& f : left) {
        addLabel(QString::fromLatin1(f.label), {LeftLabel, rowTop(f.row), LabelWidth, RowHeight});
        place(addEdit(QString::fromLatin1(f.name), QString::fromLatin1(f.column)),
              {LeftEdit, rowTop(f.row), LeftWidth, RowHeight}, Both);
    }
    m_ccd = new QComboBox(this);
    m_ccd->setObjectName(QStringLiteral("CCD"));
    m_ccd->setEditable(false);
    m_ccd->setMaxVisibleItems(20);
    m_ccd->installEventFilter(this);
    m_keys->watch(m_ccd, false);
    addLabel(QStringLiteral("City :"), {LeftLabel, rowTop(2), LabelWidth, RowHeight});
    place(m_ccd, {LeftEdit, rowTop(2), LeftWidth, RowHeight}, Both);

    // Right column: secondary details and business specifics.
    const struct {
        const char* name;
        const char* label;
        QRect labelRect;
        QRect editRect;
    } right[] = {
        {"PNAM",
         "Person :",
         {RightLabel, rowTop(0), LabelWidth, RowHeight},
         {RightEdit, rowTop(0), RightWidth, RowHeight}},
        {"PDSG",
         "Designation :",
         {RightLabel, rowTop(1), LabelWidth, RowHeight},
         {RightEdit, rowTop(1), RightWidth, RowHeight}},
        {"ADR",
         "Address :",
         {RightLabel, rowTop(2), LabelWidth, RowHeight},
         {RightEdit, rowTop(2), RightWidth, RowHeight}},
        {"ZCD",
         "Zip Code :",
         {RightLabel, rowTop(3), LabelWidth, RowHeight},
         {RightEdit, rowTop(3), 100, RowHeight}},
        {"UAN",
         "U.A.N :",
         {RightEdit + 104, rowTop(3), 56, RowHeight},
         {RightEdit + 164, rowTop(3), RightWidth - 164, RowHeight}},
        {"BTP",
         "Business :",
         {RightLabel, rowTop(5), LabelWidth, RowHeight},
         {RightEdit, rowTop(5), RightWidth, RowHeight}},
    };
    for (const auto& f : right) {
        addLabel(QString::fromLatin1(f.label), f.labelRect);
        place(addEdit(QString::fromLatin1(f.name), QString::fromLatin1(f.name)), f.editRect, Both);
    }
    m_bds = new QPlainTextEdit(this);
    m_bds->setObjectName(QStringLiteral("BDS"));
    m_bds->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_bds->setTabChangesFocus(true);
    m_keys->watch(m_bds, false);
    connect(m_bds, &QPlainTextEdit::textChanged, this, &TPC_EDT_FRM::limitMemo);
    addLabel(QStringLiteral("Description :"), {RightLabel, rowTop(6), LabelWidth, RowHeight});
    place(m_bds, {RightEdit, rowTop(6), RightWidth, rowTop(7) - rowTop(5) + 21}, Both);

    m_hi = new QCheckBox(QStringLiteral("Hot"), this);
    m_hi->setObjectName(QStringLiteral("HI"));
    connect(m_hi, &QCheckBox::clicked, this, [this] { m_hotTouched = true; });
    m_keys->watch(m_hi, false);
    place(m_hi, {LeftEdit, rowTop(8) + 4, 100, RowHeight}, Both);

    m_sav = new QPushButton(QStringLiteral("&Save"), this);
    m_sav->setObjectName(QStringLiteral("SAV"));
    m_sav->setAutoDefault(false);
    connect(m_sav, &QPushButton::clicked, this, &TPC_EDT_FRM::SAVClick);
    m_ext = new QPushButton(QStringLiteral("&Exit"), this);
    m_ext->setObjectName(QStringLiteral("EXT"));
    m_ext->setAutoDefault(false);
    connect(m_ext, &QPushButton::clicked, this, &TPC_EDT_FRM::EXTClick);

    // Tab order as the form lists the fields.
    QList<QWidget*> order{m_edits.value(QStringLiteral("CNAM")),
                          m_ccd,
                          m_edits.value(QStringLiteral("PHN")),
                          m_edits.value(QStringLiteral("FAX")),
                          m_edits.value(QStringLiteral("MOB")),
                          m_edits.value(QStringLiteral("EML")),
                          m_edits.value(QStringLiteral("WEB")),
                          m_edits.value(QStringLiteral("PNAM")),
                          m_edits.value(QStringLiteral("PDSG")),
                          m_edits.value(QStringLiteral("ADR")),
                          m_edits.value(QStringLiteral("ZCD")),
                          m_edits.value(QStringLiteral("UAN")),
                          m_edits.value(QStringLiteral("BTP")),
                          m_bds,
                          m_sav,
                          m_ext,
                          m_hi};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);

    resize(DesignedWidth, DesignedHeight);
    setColour(QColor(0x53, 0x6A, 0x9F));
}

QLineEdit* TPC_EDT_FRM::addEdit(const QString& name, const QString& column) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    m_edits.insert(column, edit);
    m_keys->watch(edit, true);
    connect(edit, &QLineEdit::textChanged, this, &TPC_EDT_FRM::cleanTitle);
    return edit;
}

void TPC_EDT_FRM::place(QWidget* widget, QRect designed, int scale) {
    m_layout.add(widget, designed, scale);
}

void TPC_EDT_FRM::addLabel(const QString& text, QRect designed) {
    auto* label = new QLabel(text, this);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(label, designed, Both);
}

void TPC_EDT_FRM::setColour(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::WindowText, Qt::white);
    setPalette(p);
    for (QLabel* h : {m_hdg, m_hdg1, m_hdg2, m_hdg3}) {
        QPalette hp = h->palette();
        hp.setColor(QPalette::Window, colour.darker(h == m_hdg ? 140 : 120));
        hp.setColor(QPalette::WindowText, Qt::white);
        h->setPalette(hp);
    }
}

void TPC_EDT_FRM::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const QSize size = event->size();
    m_layout.apply(size);
    QLineEdit* mob = m_edits.value(QStringLiteral("MOB"));
    QLineEdit* web = m_edits.value(QStringLiteral("WEB"));
    m_bds->resize(m_bds->width(), web->y() - mob->y() + 21);
    const int y = size.height() - 40;
    const int right = m_bds->geometry().right();
    m_ext->setGeometry(right - 96, y, 96, 28);
    m_sav->setGeometry(right - 2 * 96 - 8, y, 96, 28);
}

void TPC_EDT_FRM::openCities() {
    m_ccd->clear();
    Query cty(m_transaction);
    cty.setSql(QStringLiteral("SELECT * FROM CTRY WHERE PCD=1 ORDER BY TITLE"));
    for (cty.open(); !cty.eof(); cty.next())
        m_ccd->addItem(cty.value(QStringLiteral("TITLE")).toString(),
                       cty.value(QStringLiteral("CD")).toInt());
    m_ccd->setCurrentIndex(-1);
}

void TPC_EDT_FRM::prepare() {
    m_prt->clear();
    if (FolderId > 1)
        m_prt->setText(FolderPath);
    const QString word = m_mode == 2 ? QStringLiteral("Update") : QStringLiteral("Create");
    m_hdg->setText(word + QStringLiteral(" Contact"));
    m_sav->setText(u'&' + word);
    openCities();
    m_cdt.close();
    m_cdt.setParam(QStringLiteral("VL"), m_mode == 2 ? ContactId : 0);
    m_cdt.open();
    if (m_mode == 2) {
        if (!m_cdt.isEmpty())
            m_cdt.edit();
    } else {
        m_cdt.append();
    }
    if (m_cdt.state() != DataSetEditor::State::Browse)
        m_cdt.setField(QStringLiteral("PCD"), FolderId);
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        EditorFields::limitLength(it.value(), m_cdt.fieldLength(it.key()));
    loadFields();
    m_edits.value(QStringLiteral("CNAM"))->setFocus();
}

void TPC_EDT_FRM::loadFields() {
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        it.value()->setText(m_cdt.field(it.key()).toString());
    m_bds->setPlainText(m_cdt.field(QStringLiteral("BDS")).toString());
    const QVariant city = m_cdt.field(QStringLiteral("CCD"));
    m_ccd->setCurrentIndex(city.isNull() ? -1 : m_ccd->findData(city.toInt()));
    m_hi->setChecked(m_cdt.field(QStringLiteral("HOT")).toInt() == 1);
    m_hotTouched = false;
}

int TPC_EDT_FRM::execute() {
    prepare();
    if (m_bounds.isValid())
        setGeometry(m_bounds);
    return exec();
}

void TPC_EDT_FRM::CCDEnter() {
    if (m_ccd->currentIndex() >= 0)
        return;
    const QString stored = m_settings.ReadText(CityKey, QString());
    if (stored.isEmpty())
        return;
    bool ok = false;
    const int cd = stored.toInt(&ok);
    if (ok)
        m_ccd->setCurrentIndex(m_ccd->findData(cd));
}

bool TPC_EDT_FRM::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_ccd && event->type() == QEvent::FocusIn)
        CCDEnter();
    return QDialog::eventFilter(watched, event);
}

void TPC_EDT_FRM::writeFields() {
    for (auto it = m_edits.cbegin(); it != m_edits.cend(); ++it)
        m_cdt.setField(it.key(), EditText::stored(m_cdt.field(it.key()), it.value()->text()));
    m_cdt.setField(QStringLiteral("BDS"),
                   EditText::stored(m_cdt.field(QStringLiteral("BDS")), m_bds->toPlainText()));
    if (m_ccd->currentIndex() >= 0)
        m_cdt.setField(QStringLiteral("CCD"), m_ccd->currentData().toInt());
    if (m_hotTouched)
        m_cdt.setField(QStringLiteral("HOT"), m_hi->isChecked() ? 1 : 0);
    m_cdt.setField(QStringLiteral("CTCD"), FolderId);
}

void TPC_EDT_FRM::SAVClick() {
    RequireText(m_edits.value(QStringLiteral("CNAM")));
    if (m_ccd->currentIndex() >= 0)
        m_settings.WriteText(CityKey, QString::number(m_ccd->currentData().toInt()));
    try {
        if (m_cdt.state() == DataSetEditor::State::Browse)
            m_cdt.edit();
        writeFields();
        m_cdt.post();
        m_transaction.CommitRetaining();
    } catch (const DatabaseError&) {
        ShowBalloon(m_sav, QStringLiteral("Operation Failed"), BalloonKind::Error);
        return;
    }
    if (m_mode == 2) {
        emit contactUpdated(savedRow());
        accept();
        return;
    }
    m_cdt.append();
    loadFields();
    m_edits.value(QStringLiteral("CNAM"))->setFocus();
    ShowBalloon(m_sav, QStringLiteral("Create Successful, Create Next"), BalloonKind::Information);
}

ContactRow TPC_EDT_FRM::savedRow() const {
    const auto text = [this](const char* column) {
        return m_cdt.field(QString::fromLatin1(column)).toString();
    };
    ContactRow row;
    row.CTCD = m_cdt.field(QStringLiteral("CTCD")).toInt();
    row.CD = m_cdt.field(QStringLiteral("CD")).toInt();
    row.CCD = m_cdt.field(QStringLiteral("CCD")).toInt();
    row.HOT = m_cdt.field(QStringLiteral("HOT")).toInt();
    row.CNAM = text("CNAM");
    row.PNAM = text("PNAM");
    row.PDSG = text("PDSG");
    row.ADR = text("ADR");
    row.ZCD = text("ZCD");
    row.PHN = text("PHN");
    row.MOB = text("MOB");
    row.UAN = text("UAN");
    row.FAX = text("FAX");
    row.EML = text("EML");
    row.WEB = text("WEB");
    row.BTP = text("BTP");
    row.BDS = text("BDS");
    return row;
}

void TPC_EDT_FRM::done(int result) {
    m_prt->clear();
    m_cdt.close();
    m_ccd->clear();
    QDialog::done(result);
}

void TPC_EDT_FRM::cleanTitle() {
    if (QLineEdit* title = m_edits.value(QStringLiteral("CNAM")))
        EditorFields::clean(title, [](const QString& text) {
            return DatabaseUpper(EditText::withoutBackslashes(text));
        });
}

void TPC_EDT_FRM::limitMemo() {
    EditorFields::limit(m_bds, m_cdt.fieldLength(QStringLiteral("BDS")));
}
