#pragma once

#include <QByteArray>
#include <QString>

// The maker's side of signed update sets: key pairs and the detached Ed25519 signature file
// file.sig over a set's fingerprint and part list (the bytes UpdateSignature defines).
class UpdateSigner {
public:
    static inline const QString SignatureFile = QStringLiteral("file.sig");

    // Writes a new key pair: PREFIX.key (secret, readable by its owner only) and PREFIX.pub.
    // Never overwrites a key.
    static bool makeKey(const QString& prefix, QString& error);
    // Reads a secret key file: '#' lines are comments, the key is one line of hex digits.
    bool loadKey(const QString& path);

    // Signs the fingerprint.txt and parts.txt of `setDir`, writing its file.sig.
    bool sign(const QString& setDir);
    QString error() const { return m_error; }
    // The public half of the loaded key.
    QByteArray publicKey() const;

private:
    QByteArray m_secret;
    QString m_error;
};
