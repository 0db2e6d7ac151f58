#include "UpdateSigner.h"

#include "online/ServiceClient.h"
#include "online/UpdateQueue.h"
#include "online/UpdateSignature.h"

#include <QFile>
#include <QSaveFile>

#include <sodium.h>

namespace {
QByteArray hexLine(const QByteArray& bytes) {
    return bytes.toHex() + '\n';
}

bool writeFile(const QString& path, const QByteArray& text, QFile::Permissions perms,
               QString& error) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size() || !f.setPermissions(perms) ||
        !f.commit()) {
        error = path + QStringLiteral(": ") + f.errorString();
        return false;
    }
    return true;
}

// The lines of a small text file, or nothing when it cannot be read.
std::optional<QStringList> lines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringList out = ServiceClient::Lines(f.read(1 << 20));
    while (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    return out;
}
} // namespace

bool UpdateSigner::makeKey(const QString& prefix, QString& error) {
    const QString secretPath = prefix + QStringLiteral(".key");
    const QString publicPath = prefix + QStringLiteral(".pub");
    for (const QString& path : {secretPath, publicPath}) {
        if (QFile::exists(path)) {
            error = path + QStringLiteral(": already there; a key is never overwritten");
            return false;
        }
    }
    if (sodium_init() < 0) {
        error = QStringLiteral("libsodium cannot start");
        return false;
    }
    QByteArray pk(crypto_sign_PUBLICKEYBYTES, Qt::Uninitialized);
    QByteArray sk(crypto_sign_SECRETKEYBYTES, Qt::Uninitialized);
    crypto_sign_keypair(reinterpret_cast<unsigned char*>(pk.data()),
                        reinterpret_cast<unsigned char*>(sk.data()));
    const bool ok =
        writeFile(secretPath,
                  "# Tessaro Kavelin update signing: Ed25519 secret key. Keep it secret.\n" +
                      hexLine(sk),
                  QFile::ReadOwner | QFile::WriteOwner, error) &&
        writeFile(publicPath,
                  "# Tessaro Kavelin update signing: Ed25519 public key (TK_UPDATE_EXTRA_KEY).\n" +
                      hexLine(pk),
                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther,
                  error);
    sodium_memzero(sk.data(), size_t(sk.size()));
    return ok;
}

bool UpdateSigner::loadKey(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        m_error = path + QStringLiteral(": ") + f.errorString();
        return false;
    }
    QByteArray hex;
    for (const QByteArray& line : f.read(64 * 1024).split('\n'))
        if (!line.trimmed().startsWith('#'))
            hex += line.trimmed();
    m_secret = QByteArray::fromHex(hex);
    if (m_secret.size() != crypto_sign_SECRETKEYBYTES || hex.size() != 2 * m_secret.size()) {
        m_error = path + QStringLiteral(": not a secret key made by tk-updateset --make-key");
        return false;
    }
    return true;
}

QByteArray UpdateSigner::publicKey() const {
    QByteArray pk(crypto_sign_PUBLICKEYBYTES, Qt::Uninitialized);
    crypto_sign_ed25519_sk_to_pk(reinterpret_cast<unsigned char*>(pk.data()),
                                 reinterpret_cast<const unsigned char*>(m_secret.constData()));
    return pk;
}

bool UpdateSigner::sign(const QString& setDir) {
    const auto fingerprint = lines(setDir + QStringLiteral("/fingerprint.txt"));
    const auto list = lines(setDir + QStringLiteral("/parts.txt"));
    const auto parts = list ? UpdateQueue::parsePartList(*list) : std::nullopt;
    if (!fingerprint || fingerprint->isEmpty() || !parts || parts->isEmpty()) {
        m_error = setDir + QStringLiteral(": no fingerprint.txt and parts.txt to sign");
        return false;
    }
    if (sodium_init() < 0) {
        m_error = QStringLiteral("libsodium cannot start");
        return false;
    }
    const QByteArray message = UpdateSignature::message(fingerprint->first(), *parts);
    QByteArray signature(crypto_sign_BYTES, Qt::Uninitialized);
    crypto_sign_detached(reinterpret_cast<unsigned char*>(signature.data()), nullptr,
                         reinterpret_cast<const unsigned char*>(message.constData()),
                         size_t(message.size()),
                         reinterpret_cast<const unsigned char*>(m_secret.constData()));
    return writeFile(setDir + u'/' + SignatureFile, hexLine(signature),
                     QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther,
                     m_error);
}
