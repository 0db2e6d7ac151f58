#include "online/UpdateSignature.h"

#include <QRegularExpression>

#include <algorithm>
#include <sodium.h>

namespace {
// The maker's public key. This is a DEVELOPMENT key: its private half is kept in the repository
// (keys/development-update.key) so the tests and the reference service can sign sets. A release
// must replace it with the maker's real key, whose private half never leaves the maker.
constexpr const char* MakerKey = "f81e1a146dfb68a54a510b0592cda7ba98b130d3305f2c23bf25ab7f90e3884e";
// A business's own key for its own updates, set with the CMake cache variable
// TK_UPDATE_EXTRA_KEY; empty when there is none.
constexpr const char* ExtraKey = TK_UPDATE_EXTRA_KEY;

QByteArray keyFromHex(const char* hex) {
    const QByteArray key = QByteArray::fromHex(QByteArray(hex));
    return key.size() == UpdateSignature::PublicKeyBytes ? key : QByteArray();
}
} // namespace

QByteArray UpdateSignature::message(const QString& fingerprint, QList<UpdatePart> parts) {
    std::sort(parts.begin(), parts.end(),
              [](const UpdatePart& a, const UpdatePart& b) { return a.id < b.id; });
    QByteArray bytes = QByteArrayLiteral("Tessaro Kavelin update set\n");
    bytes += fingerprint.toLatin1() + '\n';
    for (const UpdatePart& p : parts)
        bytes += QByteArray::number(p.id) + ",'" + p.hsh.toLatin1() + "'\n";
    return bytes;
}

std::optional<QByteArray> UpdateSignature::parse(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^[0-9A-Fa-f]{128}$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    return QByteArray::fromHex(text.toLatin1());
}

bool UpdateSignature::verify(const QByteArray& message, const QByteArray& signature) {
    if (signature.size() != SignatureBytes || sodium_init() < 0)
        return false;
    const QList<QByteArray> keys = trustedKeys();
    return std::any_of(keys.begin(), keys.end(), [&](const QByteArray& key) {
        return crypto_sign_verify_detached(
                   reinterpret_cast<const unsigned char*>(signature.constData()),
                   reinterpret_cast<const unsigned char*>(message.constData()),
                   size_t(message.size()),
                   reinterpret_cast<const unsigned char*>(key.constData())) == 0;
    });
}

QList<QByteArray> UpdateSignature::trustedKeys() {
    QList<QByteArray> keys;
    for (const char* hex : {MakerKey, ExtraKey})
        if (const QByteArray key = keyFromHex(hex); !key.isEmpty())
            keys << key;
    return keys;
}
