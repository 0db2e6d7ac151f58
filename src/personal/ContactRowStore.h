#pragma once

#include "contacts/ContactRow.h"

#include <QByteArray>
#include <array>
#include <memory>
#include <vector>

// The rows of one listing by position, kept compactly in fixed-size chunks that never move once
// allocated: a row's 13 texts as UTF-8 in one buffer per chunk. Each row's key (CD) stays for
// the whole listing, so a chunk's records can be released and loaded again by key. Removing
// rows renumbers the positions without moving any stored row.
class ContactRowStore {
public:
    static constexpr int ChunkRows = 256;
    static constexpr int TextFields = 13;

    // Empties the store and prepares room for `capacity` records (the listing's count).
    void reset(int capacity);
    // Positions still listed: the capacity less the removed rows.
    int size() const { return m_capacity - int(m_removed.size()); }
    int capacity() const { return m_capacity; }
    // Records appended so far, counted in original positions (removed ones included).
    int appended() const { return m_appended; }
    // Listed positions among the appended rows (every removed row was appended first).
    int appendedListed() const { return m_appended - int(m_removed.size()); }
    // Adds the next record in listing order; ignored once the capacity is reached.
    void append(const ContactRow& row);
    // Adds the next row as its key alone, its record released (to be loaded by key); a chunk
    // whose records are held gives them up, to be loaded again with the new row.
    void appendKey(int key);

    // The original position (0 to capacity - 1) of a listed position.
    int original(int position) const;
    int chunkOf(int position) const { return original(position) / ChunkRows; }
    int chunkCount() const { return int(m_chunks.size()); }

    // Whether the row's record is held (appended and not released).
    bool isLoaded(int position) const;
    // The row's key; 0 when not yet appended.
    int key(int position) const;
    // The held record of a loaded row (an empty record otherwise).
    ContactRow row(int position) const;
    // One text of a loaded row, in ContactRow order from CNAM (0) to BDS (12).
    QString text(int position, int field) const;
    // Replaces a loaded row's record; its key becomes the record's CD.
    void set(int position, const ContactRow& row);
    // Removes listed positions; the rows after them move up.
    void remove(const std::vector<int>& positions);

    // Whether the chunk still receives appended rows; such a chunk is never released.
    bool isFilling(int chunk) const;
    // Releases a chunk's records, keeping the keys.
    void release(int chunk);
    // The keys of a chunk's appended rows, in original order (removed rows included).
    std::vector<int> chunkKeys(int chunk) const;
    // Gives a released chunk its records again, in the order of chunkKeys().
    void load(int chunk, const std::vector<ContactRow>& rows);
    bool isChunkLoaded(int chunk) const;
    int loadedChunks() const { return m_loaded; }

private:
    struct Numbers {
        int CTCD = 0;
        int CCD = 0;
        int HOT = 0;
    };
    // The releasable part of a chunk.
    struct Records {
        std::array<Numbers, ChunkRows> numbers{};
        // Start of each text in `texts`, one more entry marking the end.
        std::vector<quint32> starts;
        QByteArray texts;
    };
    struct Chunk {
        std::array<int, ChunkRows> keys{};
        int rows = 0; // appended so far
        std::unique_ptr<Records> records;
    };

    static void encode(Records& records, const ContactRow& row);
    ContactRow decode(const Chunk& chunk, int slot) const;
    // Rewrites a chunk's records from rows 0 to chunk.rows - 1.
    void rebuild(Chunk& chunk, const std::vector<ContactRow>& rows);

    std::vector<Chunk> m_chunks; // sized once by reset()
    std::vector<int> m_removed;  // removed original positions, ascending
    int m_capacity = 0;
    int m_appended = 0;
    int m_loaded = 0;
};
