#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

// The settings store XFS: the whole settings file as an element tree in memory, addressed by
// backslash-separated keys such as "PD\SRB", read once at start and written back at the end.
class SettingsStore {
public:
    static inline const QString RootNodeName = QStringLiteral("Configuration");
    static inline const QString InvalidCharReplacement = QStringLiteral("_");
    // Element nesting allowed in the file, the root included; a deeper file counts as damaged.
    static constexpr int MaxDepth = 64;
    // The longest list ReadList returns, whatever a hand-edited Count says.
    static constexpr int MaxListItems = 100000;

    explicit SettingsStore(const QString& fileName = QStringLiteral("settings.xml"));
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    QString ReadText(const QString& key, const QString& defaultText) const;
    void WriteText(const QString& key, const QString& text);
    int ReadNumber(const QString& key, int defaultValue) const;
    void WriteNumber(const QString& key, int value);
    bool ReadFlag(const QString& key, bool defaultValue) const;
    void WriteFlag(const QString& key, bool value);
    // Fills the list from the key's Count and N0.. items; leaves it untouched when the key's
    // element does not exist.
    void ReadList(const QString& key, QStringList& list,
                  const QString& itemName = QStringLiteral("N")) const;
    void WriteList(const QString& key, const QStringList& list,
                   const QString& itemName = QStringLiteral("N"));

    // Writes the tree to the file now, through a temporary file renamed over it; never into the
    // file itself. Answers whether the file was written; read-only stores and failed writes
    // answer false (a folder that takes no new file is said once on standard error).
    bool Flush();
    // Discards the tree and reads the file again.
    void Reload();

    QString FileName() const { return fileName_; }
    // The ReadOnly property: when set, every write and every save is skipped.
    bool ReadOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }
    // Whether the file on disk was read-only at the last load (or when a save was attempted).
    bool fileIsReadOnly() const { return fileReadOnly_; }
    bool FlushOnDestroy() const { return flushOnDestroy_; }
    void setFlushOnDestroy(bool flush) { flushOnDestroy_ = flush; }

    // One line describing a problem of the last load (a damaged file set aside), or empty.
    QString loadWarning() const { return loadWarning_; }

    // The file's bytes exactly as Flush writes them.
    QByteArray toXml() const;
    // Replaces the tree with the one the bytes describe, as a load of a file with those bytes
    // would; answers false (and why, in `error`) and keeps the tree when they are not a settings
    // document. Nothing is read from or written to disk.
    bool fromXml(const QByteArray& bytes, QString* error = nullptr);
    // Whether both stores hold the same elements with the same names and texts, in order.
    bool sameTree(const SettingsStore& other) const;

    // The element names a key addresses, after normalisation and name cleaning.
    static QStringList keyNames(const QString& key);
    // The text as a value is stored: without control characters other than tab, CR and LF, and
    // without the other characters XML 1.0 does not allow (lone surrogates, U+FFFE, U+FFFF).
    // Values are given, read and written only in this form, so the file is always valid XML.
    static QString storableText(const QString& text);

    // One element of the tree; defined with the store's code.
    struct Node;

private:
    bool writesIgnored() const;
    const Node* findValue(const QString& key, bool* found) const;
    Node* ensurePath(const QStringList& names);
    void load();
    void setAsideDamagedFile(const QString& reason);

    QString fileName_;
    std::unique_ptr<Node> root_;
    bool readOnly_ = false;
    bool fileReadOnly_ = false;
    bool saveBlocked_ = false;
    bool saveFailureTold_ = false;
    bool flushOnDestroy_ = true;
    QString loadWarning_;
};
