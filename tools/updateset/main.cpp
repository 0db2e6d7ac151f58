// tk-updateset --sign-key KEY [--volume-size SIZE] SOURCE UPDATE_FOLDER: builds an update set
// from the files in SOURCE (bin/..., templates/..., prs_<version>.sql, sys_<version>.sql,
// replica), signs it with the secret key in KEY and publishes it into UPDATE_FOLDER, the
// service's <data>/update.
// tk-updateset --sign-key KEY --sign-only UPDATE_FOLDER: signs the set there as it stands.
// tk-updateset --make-key PREFIX: writes a new key pair PREFIX.key and PREFIX.pub.
#include "UpdateSetBuilder.h"
#include "UpdateSigner.h"
#include "online/UpdateSignature.h"

#include <QCoreApplication>
#include <cstdio>

namespace {
int usage() {
    std::fprintf(stderr,
                 "usage: tk-updateset --sign-key KEY [--volume-size SIZE] SOURCE UPDATE_FOLDER\n"
                 "       tk-updateset --sign-key KEY --sign-only UPDATE_FOLDER\n"
                 "       tk-updateset --make-key PREFIX\n");
    return 2;
}

int fail(const QString& error) {
    std::fprintf(stderr, "tk-updateset: %s\n", qPrintable(error));
    return 1;
}

// A set signed with a key this build's program does not carry is refused by it: say so.
void warnIfUntrusted(const UpdateSigner& signer) {
    if (!UpdateSignature::trustedKeys().contains(signer.publicKey()))
        std::fprintf(stderr, "tk-updateset: note: this build's program does not trust this key "
                             "(add it with TK_UPDATE_EXTRA_KEY)\n");
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString volumeSize = QStringLiteral("10m");
    QString keyFile;
    bool signOnly = false;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--make-key") && args.size() == 1) {
            QString error;
            return UpdateSigner::makeKey(args.first(), error) ? 0 : fail(error);
        }
        if (option == QLatin1String("--sign-only"))
            signOnly = true;
        else if (option == QLatin1String("--volume-size") && !args.isEmpty())
            volumeSize = args.takeFirst();
        else if (option == QLatin1String("--sign-key") && !args.isEmpty())
            keyFile = args.takeFirst();
        else
            return usage();
    }
    if (keyFile.isEmpty() || args.size() != (signOnly ? 1 : 2))
        return usage();
    UpdateSigner signer;
    if (!signer.loadKey(keyFile))
        return fail(signer.error());
    if (signOnly) {
        if (!signer.sign(args.first()))
            return fail(signer.error());
        warnIfUntrusted(signer);
        return 0;
    }
    UpdateSetBuilder builder(args[0], args[1], signer, volumeSize);
    if (!builder.build())
        return fail(builder.error());
    warnIfUntrusted(signer);
    std::printf("tk-updateset: %d volume(s), fingerprint %s, signed\n", builder.volumeCount(),
                qPrintable(builder.fingerprint()));
    return 0;
}
