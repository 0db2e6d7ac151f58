#pragma once

#include <QString>
#include <QStringList>

class UpdateSigner;

// Builds an update set from a folder of update files: the folder packed as "file/" into a 7z
// archive split into volumes file.zup.001, .002, ..., their MD5 list parts.txt (lines
// "N,'HEX'"), the fingerprint.txt naming the set and the maker's signature file.sig over both,
// published into the service's update folder in one swap.
class UpdateSetBuilder {
public:
    // `volumeSize` in the 7z command's syntax: "10m", "512k", "2000000b".
    UpdateSetBuilder(const QString& sourceDir, const QString& updateDir, UpdateSigner& signer,
                     const QString& volumeSize = QStringLiteral("10m"));

    bool build();

    QString error() const { return m_error; }
    QString fingerprint() const { return m_fingerprint; }
    int volumeCount() const { return m_volumes; }

    // The 7z command found on the path: 7z, 7zz or 7za.
    static QString sevenZip();

private:
    bool copySource(const QString& to);
    bool pack(const QString& workDir, const QString& outDir);
    bool writeLists(const QString& outDir);
    bool sign(const QString& outDir);
    bool publish(const QString& outDir, const QString& oldDir);

    QString m_source;
    QString m_target;
    UpdateSigner& m_signer;
    QString m_volumeSize;
    QString m_error;
    QString m_fingerprint;
    int m_volumes = 0;
};
