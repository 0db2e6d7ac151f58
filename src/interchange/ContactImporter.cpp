#include "interchange/ContactImporter.h"

#include "app/Helpers.h"
#include "contacts/EditText.h"
#include "data/DataSetEditor.h"
#include "data/Transaction.h"
#include "interchange/ContactMapping.h"
#include "interchange/ContactSource.h"

#include <QElapsedTimer>
#include <QRegularExpression>

namespace {
struct TextColumn {
    const char* name;
    QString ContactRow::*field;
    bool singleLine;
};
const TextColumn TextColumns[] = {
    {"CNAM", &ContactRow::CNAM, true}, {"PNAM", &ContactRow::PNAM, true},
    {"PDSG", &ContactRow::PDSG, true}, {"ADR", &ContactRow::ADR, true},
    {"ZCD", &ContactRow::ZCD, true},   {"PHN", &ContactRow::PHN, true},
    {"MOB", &ContactRow::MOB, true},   {"UAN", &ContactRow::UAN, true},
    {"FAX", &ContactRow::FAX, true},   {"EML", &ContactRow::EML, true},
    {"WEB", &ContactRow::WEB, true},   {"BTP", &ContactRow::BTP, true},
    {"BDS", &ContactRow::BDS, false}};

QString oneLine(const QString& text) {
    if (!text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QStringList lines =
        text.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    return lines.join(u' ');
}
} // namespace

ContactImporter::ContactImporter(DataSetEditor& cdt, Transaction& transaction, int folderId,
                                 ContactSource& source)
    : m_cdt(cdt), m_transaction(transaction), m_folderId(folderId), m_source(source),
      m_duplicates(transaction) {
    m_duplicates.setSql(QStringLiteral("SELECT PHN, MOB FROM CONT WHERE CTCD = :F AND CNAM = :T"));
    loadCities();
}

void ContactImporter::loadCities() {
    Query cities(m_transaction);
    cities.setSql(QStringLiteral("SELECT CD, TITLE FROM CTRY WHERE PCD=1 ORDER BY TITLE"));
    for (cities.open(); !cities.eof(); cities.next()) {
        const QString key = DatabaseUpper(cities.value(1).toString().trimmed());
        if (!m_cities.contains(key))
            m_cities.insert(key, cities.value(0).toInt());
    }
}

int ContactImporter::cityOf(const QString& name) const {
    return m_cities.value(DatabaseUpper(name.trimmed()), 0);
}

qint64 ContactImporter::position() const {
    return m_source.position();
}

bool ContactImporter::storedForm(ContactRow& row, DataSetEditor& cdt) {
    bool cut = false;
    row.CNAM = DatabaseUpper(EditText::withoutBackslashes(row.CNAM));
    for (const TextColumn& c : TextColumns) {
        QString& text = row.*(c.field);
        if (c.singleLine)
            text = oneLine(text);
        const int limit = cdt.fieldLength(QString::fromLatin1(c.name));
        if (limit > 0) {
            const QString kept = LeftCharacters(text, limit);
            cut = cut || kept.size() != text.size();
            text = kept;
        }
    }
    return cut;
}

bool ContactImporter::isDuplicate(const ContactRow& row) {
    m_duplicates.close();
    m_duplicates.setParam(QStringLiteral("F"), m_folderId);
    m_duplicates.setParam(QStringLiteral("T"), row.CNAM);
    const QString digits = ContactMapping::firstNumberDigits(row);
    for (m_duplicates.open(); !m_duplicates.eof(); m_duplicates.next()) {
        ContactRow stored;
        stored.PHN = m_duplicates.value(0).toString();
        stored.MOB = m_duplicates.value(1).toString();
        if (ContactMapping::firstNumberDigits(stored) == digits) {
            m_duplicates.close();
            return true;
        }
    }
    m_duplicates.close();
    return false;
}

void ContactImporter::insert(const ContactRow& row) {
    m_cdt.append();
    m_cdt.setField(QStringLiteral("CTCD"), m_folderId);
    if (row.CCD > 0)
        m_cdt.setField(QStringLiteral("CCD"), row.CCD);
    for (const TextColumn& c : TextColumns) {
        const QString name = QString::fromLatin1(c.name);
        m_cdt.setField(name, EditText::stored(QVariant(), row.*(c.field)));
    }
    m_cdt.post();
}

bool ContactImporter::step(int budgetMs) {
    if (m_done)
        return false;
    QElapsedTimer clock;
    clock.start();
    m_cdt.setParam(QStringLiteral("VL"), 0);
    m_cdt.open();
    const auto city = [this](const QString& name) { return cityOf(name); };
    try {
        ContactCard card;
        do {
            if (!m_source.next(card)) {
                m_done = true;
                break;
            }
            ContactRow row = ContactMapping::toRow(card, city);
            const bool cut = storedForm(row, m_cdt);
            if (row.CNAM.trimmed().isEmpty()) {
                ++m_summary.unreadable;
                continue;
            }
            if (isDuplicate(row)) {
                ++m_summary.duplicates;
                continue;
            }
            insert(row);
            ++m_summary.imported;
            if (cut)
                ++m_summary.cut;
        } while (clock.elapsed() < budgetMs);
    } catch (...) {
        // Contacts posted before the failure are whole: keep them, then report.
        m_cdt.cancel();
        m_cdt.close();
        m_transaction.CommitRetaining();
        m_done = true;
        throw;
    }
    m_transaction.CommitRetaining();
    m_cdt.close();
    return !m_done;
}

void ContactImporter::run() {
    while (step(1000)) {
    }
}

void ContactImporter::cancel() {
    if (!m_done)
        m_summary.cancelled = true;
    m_done = true;
}

ImportSummary ContactImporter::summary() const {
    ImportSummary s = m_summary;
    s.unreadable += m_source.unreadable();
    return s;
}
