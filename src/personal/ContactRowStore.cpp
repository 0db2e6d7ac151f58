#include "personal/ContactRowStore.h"

#include <algorithm>

namespace {
QString ContactRow::*const Texts[ContactRowStore::TextFields] = {
    &ContactRow::CNAM, &ContactRow::PNAM, &ContactRow::PDSG, &ContactRow::ADR, &ContactRow::ZCD,
    &ContactRow::PHN,  &ContactRow::MOB,  &ContactRow::UAN,  &ContactRow::FAX, &ContactRow::EML,
    &ContactRow::WEB,  &ContactRow::BTP,  &ContactRow::BDS};
} // namespace

void ContactRowStore::reset(int capacity) {
    m_capacity = std::max(0, capacity);
    m_appended = 0;
    m_loaded = 0;
    m_removed.clear();
    m_removed.shrink_to_fit();
    std::vector<Chunk>().swap(m_chunks);
    m_chunks = std::vector<Chunk>(size_t((m_capacity + ChunkRows - 1) / ChunkRows));
}

void ContactRowStore::encode(Records& records, const ContactRow& row) {
    if (records.starts.empty())
        records.starts.push_back(0);
    for (QString ContactRow::*field : Texts) {
        records.texts += (row.*field).toUtf8();
        records.starts.push_back(quint32(records.texts.size()));
    }
}

void ContactRowStore::append(const ContactRow& row) {
    if (m_appended >= m_capacity)
        return;
    Chunk& chunk = m_chunks[size_t(m_appended / ChunkRows)];
    const int slot = m_appended % ChunkRows;
    if (!chunk.records) {
        // The chunk being filled is never released; rows added as keys alone get empty texts.
        chunk.records = std::make_unique<Records>();
        chunk.records->starts.reserve(size_t(ChunkRows * TextFields + 1));
        for (int s = 0; s < chunk.rows; ++s)
            encode(*chunk.records, ContactRow());
        ++m_loaded;
    }
    chunk.keys[size_t(slot)] = row.CD;
    chunk.records->numbers[size_t(slot)] = {row.CTCD, row.CCD, row.HOT};
    encode(*chunk.records, row);
    ++chunk.rows;
    ++m_appended;
    if (chunk.rows == ChunkRows || m_appended == m_capacity)
        chunk.records->texts.squeeze();
}

void ContactRowStore::appendKey(int key) {
    if (m_appended >= m_capacity)
        return;
    Chunk& chunk = m_chunks[size_t(m_appended / ChunkRows)];
    if (chunk.records) {
        chunk.records.reset();
        --m_loaded;
    }
    chunk.keys[size_t(chunk.rows++)] = key;
    ++m_appended;
}

int ContactRowStore::original(int position) const {
    // m_removed[j] - j counts the kept rows before the j-th removed one; every removed row
    // whose count is at most `position` lies before the wanted row.
    int low = 0, high = int(m_removed.size());
    while (low < high) {
        const int mid = (low + high) / 2;
        if (m_removed[size_t(mid)] - mid <= position)
            low = mid + 1;
        else
            high = mid;
    }
    return position + low;
}

bool ContactRowStore::isLoaded(int position) const {
    if (position < 0 || position >= size())
        return false;
    const int o = original(position);
    const Chunk& chunk = m_chunks[size_t(o / ChunkRows)];
    return o < m_appended && chunk.records != nullptr;
}

int ContactRowStore::key(int position) const {
    if (position < 0 || position >= size())
        return 0;
    const int o = original(position);
    return o < m_appended ? m_chunks[size_t(o / ChunkRows)].keys[size_t(o % ChunkRows)] : 0;
}

ContactRow ContactRowStore::decode(const Chunk& chunk, int slot) const {
    ContactRow r;
    r.CD = chunk.keys[size_t(slot)];
    if (!chunk.records)
        return r;
    const Numbers& n = chunk.records->numbers[size_t(slot)];
    r.CTCD = n.CTCD;
    r.CCD = n.CCD;
    r.HOT = n.HOT;
    const quint32* start = chunk.records->starts.data() + slot * TextFields;
    const char* texts = chunk.records->texts.constData();
    for (int f = 0; f < TextFields; ++f)
        r.*Texts[f] = QString::fromUtf8(texts + start[f], qsizetype(start[f + 1] - start[f]));
    return r;
}

ContactRow ContactRowStore::row(int position) const {
    if (!isLoaded(position))
        return {};
    const int o = original(position);
    return decode(m_chunks[size_t(o / ChunkRows)], o % ChunkRows);
}

QString ContactRowStore::text(int position, int field) const {
    if (field < 0 || field >= TextFields || !isLoaded(position))
        return {};
    const int o = original(position);
    const Records& records = *m_chunks[size_t(o / ChunkRows)].records;
    const quint32* start = records.starts.data() + (o % ChunkRows) * TextFields + field;
    return QString::fromUtf8(records.texts.constData() + start[0], qsizetype(start[1] - start[0]));
}

void ContactRowStore::rebuild(Chunk& chunk, const std::vector<ContactRow>& rows) {
    auto records = std::make_unique<Records>();
    records->starts.reserve(size_t(ChunkRows * TextFields + 1));
    for (int s = 0; s < chunk.rows; ++s) {
        const ContactRow& r = rows[size_t(s)];
        records->numbers[size_t(s)] = {r.CTCD, r.CCD, r.HOT};
        encode(*records, r);
    }
    records->texts.squeeze();
    if (!chunk.records)
        ++m_loaded;
    chunk.records = std::move(records);
}

void ContactRowStore::set(int position, const ContactRow& row) {
    if (!isLoaded(position))
        return;
    const int o = original(position);
    Chunk& chunk = m_chunks[size_t(o / ChunkRows)];
    std::vector<ContactRow> rows;
    rows.reserve(size_t(chunk.rows));
    for (int s = 0; s < chunk.rows; ++s)
        rows.push_back(decode(chunk, s));
    rows[size_t(o % ChunkRows)] = row;
    chunk.keys[size_t(o % ChunkRows)] = row.CD;
    rebuild(chunk, rows);
}

void ContactRowStore::remove(const std::vector<int>& positions) {
    std::vector<int> originals;
    originals.reserve(positions.size());
    for (int p : positions)
        if (p >= 0 && p < size())
            originals.push_back(original(p));
    std::sort(originals.begin(), originals.end());
    originals.erase(std::unique(originals.begin(), originals.end()), originals.end());
    std::vector<int> merged;
    merged.reserve(m_removed.size() + originals.size());
    std::merge(m_removed.begin(), m_removed.end(), originals.begin(), originals.end(),
               std::back_inserter(merged));
    m_removed.swap(merged);
}

bool ContactRowStore::isFilling(int chunk) const {
    return m_appended < m_capacity && chunk == m_appended / ChunkRows;
}

void ContactRowStore::release(int chunk) {
    if (chunk < 0 || chunk >= chunkCount() || !m_chunks[size_t(chunk)].records || isFilling(chunk))
        return;
    m_chunks[size_t(chunk)].records.reset();
    --m_loaded;
}

std::vector<int> ContactRowStore::chunkKeys(int chunk) const {
    if (chunk < 0 || chunk >= chunkCount())
        return {};
    const Chunk& c = m_chunks[size_t(chunk)];
    return std::vector<int>(c.keys.begin(), c.keys.begin() + c.rows);
}

void ContactRowStore::load(int chunk, const std::vector<ContactRow>& rows) {
    if (chunk < 0 || chunk >= chunkCount())
        return;
    Chunk& c = m_chunks[size_t(chunk)];
    if (int(rows.size()) < c.rows)
        return;
    rebuild(c, rows);
}

bool ContactRowStore::isChunkLoaded(int chunk) const {
    return chunk >= 0 && chunk < chunkCount() && m_chunks[size_t(chunk)].records != nullptr;
}
