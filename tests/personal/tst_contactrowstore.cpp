// The chunked row store against a plain vector of rows: random appends, reads, releases,
// loads by key, edits and removals must always show the same rows in the same positions.
#include "personal/ContactRowStore.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {
ContactRow sample(int cd, QRandomGenerator& random) {
    ContactRow r;
    r.CD = cd;
    r.CTCD = int(random.bounded(50u));
    r.CCD = int(random.bounded(3u));
    r.HOT = int(random.bounded(2u));
    const QString texts[] = {QStringLiteral("Khan Traders %1").arg(cd), QString(),
                             QStringLiteral("ناظم %1").arg(cd), QStringLiteral("line\r\nnext"),
                             QStringLiteral("😀 %1").arg(random.bounded(1000u))};
    QString ContactRow::*fields[] = {
        &ContactRow::CNAM, &ContactRow::PNAM, &ContactRow::PDSG, &ContactRow::ADR, &ContactRow::ZCD,
        &ContactRow::PHN,  &ContactRow::MOB,  &ContactRow::UAN,  &ContactRow::FAX, &ContactRow::EML,
        &ContactRow::WEB,  &ContactRow::BTP,  &ContactRow::BDS};
    for (QString ContactRow::*field : fields)
        r.*field = texts[random.bounded(5u)];
    return r;
}

bool same(const ContactRow& a, const ContactRow& b) {
    return a.CD == b.CD && a.CTCD == b.CTCD && a.CCD == b.CCD && a.HOT == b.HOT &&
           a.CNAM == b.CNAM && a.PNAM == b.PNAM && a.PDSG == b.PDSG && a.ADR == b.ADR &&
           a.ZCD == b.ZCD && a.PHN == b.PHN && a.MOB == b.MOB && a.UAN == b.UAN && a.FAX == b.FAX &&
           a.EML == b.EML && a.WEB == b.WEB && a.BTP == b.BTP && a.BDS == b.BDS;
}
} // namespace

class ContactRowStoreTest : public QObject {
    Q_OBJECT
private slots:
    void randomSequencesAgreeWithAPlainVector_data() {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("capacity");
        QTest::newRow("one chunk") << 1u << 100;
        QTest::newRow("exact chunks") << 2u << 4 * ContactRowStore::ChunkRows;
        QTest::newRow("partial last chunk") << 3u << 5 * ContactRowStore::ChunkRows + 17;
        QTest::newRow("many chunks") << 4u << 20 * ContactRowStore::ChunkRows + 3;
    }
    void randomSequencesAgreeWithAPlainVector() {
        QFETCH(quint32, seed);
        QFETCH(int, capacity);
        QRandomGenerator random(seed);
        // The database the store reads released rows back from, by key.
        QHash<int, ContactRow> records;
        std::vector<int> order; // keys in listing order, the plain model
        for (int i = 0; i < capacity; ++i) {
            const int cd = 1000 + i * 7;
            records.insert(cd, sample(cd, random));
            order.push_back(cd);
        }
        ContactRowStore store;
        store.reset(capacity);
        QCOMPARE(store.size(), capacity);
        int appended = 0;
        const auto appendUpTo = [&](int position) {
            while (store.appended() <= store.original(position))
                store.append(records.value(order[size_t(appended++)]));
        };
        std::vector<int> listed = order; // positions as the user sees them
        for (int step = 0; step < 3000 && !listed.empty(); ++step) {
            const int p = int(random.bounded(quint32(listed.size())));
            switch (random.bounded(6u)) {
            case 0: // release a chunk that is not being filled
                store.release(int(random.bounded(quint32(store.chunkCount()))));
                break;
            case 1: { // remove a few positions
                std::vector<int> gone;
                for (int n = int(random.bounded(3u)); n >= 0; --n)
                    gone.push_back(int(random.bounded(quint32(listed.size()))));
                appendUpTo(*std::max_element(gone.begin(), gone.end()));
                std::sort(gone.begin(), gone.end());
                gone.erase(std::unique(gone.begin(), gone.end()), gone.end());
                store.remove(gone);
                for (auto it = gone.rbegin(); it != gone.rend(); ++it)
                    listed.erase(listed.begin() + *it);
                break;
            }
            case 2: { // edit a row
                appendUpTo(p);
                if (!store.isLoaded(p))
                    break;
                ContactRow edited = sample(listed[size_t(p)], random);
                records.insert(edited.CD, edited);
                store.set(p, edited);
                break;
            }
            default: { // read a row, loading its chunk by key when released
                appendUpTo(p);
                const int chunk = store.chunkOf(p);
                if (!store.isChunkLoaded(chunk)) {
                    std::vector<ContactRow> rows;
                    for (int key : store.chunkKeys(chunk))
                        rows.push_back(records.value(key));
                    store.load(chunk, rows);
                }
                QVERIFY(store.isLoaded(p));
                QCOMPARE(store.key(p), listed[size_t(p)]);
                const ContactRow expected = records.value(listed[size_t(p)]);
                QVERIFY2(same(store.row(p), expected), qPrintable(QString::number(p)));
                QCOMPARE(store.text(p, 0), expected.CNAM);
                QCOMPARE(store.text(p, 12), expected.BDS);
            }
            }
            QCOMPARE(store.size(), int(listed.size()));
        }
        QVERIFY(store.loadedChunks() <= store.chunkCount());
    }

    void theChunkBeingFilledIsNeverReleased() {
        ContactRowStore store;
        QRandomGenerator random(9);
        store.reset(ContactRowStore::ChunkRows + 10);
        for (int i = 0; i < ContactRowStore::ChunkRows + 3; ++i)
            store.append(sample(i + 1, random));
        store.release(0);
        store.release(1);
        QVERIFY(!store.isChunkLoaded(0));
        QVERIFY(store.isChunkLoaded(1));
        store.append(sample(999, random));
        QCOMPARE(store.key(ContactRowStore::ChunkRows + 3), 999);
        QCOMPARE(store.row(ContactRowStore::ChunkRows + 3).CD, 999);
        // Keys stay while the records are released.
        QCOMPARE(store.key(5), 6);
        QCOMPARE(store.row(5).CNAM, QString());
    }

    void keysAloneAreLoadedLater() {
        ContactRowStore store;
        store.reset(3);
        for (int key : {30, 10, 20})
            store.appendKey(key);
        store.append(ContactRow()); // beyond the capacity: ignored
        QCOMPARE(store.size(), 3);
        QVERIFY(!store.isLoaded(1));
        QCOMPARE(store.key(1), 10);
        ContactRow a, b, c;
        a.CD = 30;
        a.CNAM = "A";
        b.CD = 10;
        b.CNAM = "B";
        c.CD = 20;
        store.load(0, {a, b, c});
        QCOMPARE(store.row(1).CNAM, QStringLiteral("B"));
        QCOMPARE(store.row(2).CNAM, QString());
        QCOMPARE(store.loadedChunks(), 1);
    }
};

QTEST_GUILESS_MAIN(ContactRowStoreTest)
#include "tst_contactrowstore.moc"
