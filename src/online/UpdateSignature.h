#pragma once

#include "online/UpdateQueue.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The maker's Ed25519 signature over an update set: its fingerprint and its part list. The
// signed bytes are
//     "Tessaro Kavelin update set\n" + fingerprint + "\n" + one "N,'digest'\n" per part,
// the parts in ascending number, N in decimal without leading zeros, the digest as listed,
// every character one byte (the replies' bytes map one to one to characters). For a set made
// by tk-updateset these are the prefix followed by fingerprint.txt and parts.txt as served.
// The signature travels as 128 hexadecimal digits.
class UpdateSignature {
public:
    static constexpr int SignatureBytes = 64;
    static constexpr int PublicKeyBytes = 32;

    static QByteArray message(const QString& fingerprint, QList<UpdatePart> parts);
    // The signature in its text form; nothing unless it is exactly 128 hexadecimal digits.
    static std::optional<QByteArray> parse(const QString& text);
    // True when one of the trusted keys made `signature` over `message`.
    static bool verify(const QByteArray& message, const QByteArray& signature);
    // The maker's key, then the one added at build time (if any).
    static QList<QByteArray> trustedKeys();
};
