#include "data/FbClient.h"

#include "data/DatabaseError.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Firebird;

namespace {
QString g_lockDirectory;
}

ITransaction* startTransaction(IAttachment* attachment, std::initializer_list<unsigned char> tags) {
    FbStatus status;
    return fbCall([&] {
        IXpbBuilder* tpb =
            FbClient::instance().util()->getXpbBuilder(&status, IXpbBuilder::TPB, nullptr, 0);
        try {
            for (unsigned char tag : tags)
                tpb->insertTag(&status, tag);
            ITransaction* transaction = attachment->startTransaction(
                &status, tpb->getBufferLength(&status), tpb->getBuffer(&status));
            tpb->dispose();
            return transaction;
        } catch (...) {
            tpb->dispose();
            throw;
        }
    });
}

void throwDatabaseError(const FbException& e) {
    IStatus* status = e.getStatus();
    const intptr_t* errors = status->getErrors();
    long code = (errors && errors[0] == isc_arg_gds) ? long(errors[1]) : 0;
    throw DatabaseError(FbClient::instance().formatStatus(status), code);
}

FbClient& FbClient::instance() {
    static FbClient client;
    return client;
}

void FbClient::setLockDirectory(const QString& dir) {
    g_lockDirectory = dir;
}

void FbClient::reserveLockFiles(qint64 bytes) {
    const QDir dir(g_lockDirectory);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        const int fd =
            ::open(QFile::encodeName(dir.filePath(name)).constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        // Only mapped files have a size. Blocks beyond the end are kept for the engine's
        // growth without changing the size it sees.
        if (::fstat(fd, &st) == 0 && st.st_size > 0)
            ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, std::max<off_t>(st.st_size, off_t(bytes)));
        ::close(fd);
    }
}

// One lock folder per copy of the program (its temp folder), never one per user: copies
// in other folders must not wait on each other's engine locks.
QString FbClient::defaultLockDirectory() {
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QDir::cleanPath(QFileInfo(exe).absolutePath() + QStringLiteral("/../temp/fb-lock"));
}

// The signals are blocked during the call, so one that arrives meanwhile waits for the
// restored handler; threads the library starts meanwhile keep them blocked for good.
KeepSignalHandlers::KeepSignalHandlers() {
    sigset_t block;
    sigemptyset(&block);
    sigaddset(&block, SIGINT);
    sigaddset(&block, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &block, &m_mask);
    sigaction(SIGINT, nullptr, &m_interrupt);
    sigaction(SIGTERM, nullptr, &m_terminate);
}

KeepSignalHandlers::~KeepSignalHandlers() {
    sigaction(SIGINT, &m_interrupt, nullptr);
    sigaction(SIGTERM, &m_terminate, nullptr);
    pthread_sigmask(SIG_SETMASK, &m_mask, nullptr);
}

FbClient::FbClient() {
    KeepSignalHandlers keep;
    // The embedded engine keeps its lock files here; it reads the variable when it loads.
    if (g_lockDirectory.isEmpty())
        g_lockDirectory = defaultLockDirectory();
    QDir().mkpath(g_lockDirectory);
    qputenv("FIREBIRD_LOCK", g_lockDirectory.toLocal8Bit());
    for (const char* name : {"libfbclient.so.2", "libfbclient.so"}) {
        m_library = dlopen(name, RTLD_NOW | RTLD_GLOBAL);
        if (m_library)
            break;
    }
    if (!m_library)
        throw DatabaseError(QStringLiteral("The Firebird client library could not be loaded"));
    using GetMaster = IMaster* (*)();
    auto getMaster = reinterpret_cast<GetMaster>(dlsym(m_library, "fb_get_master_interface"));
    if (!getMaster)
        throw DatabaseError(QStringLiteral("The Firebird client library has no master interface"));
    m_master = getMaster();
    m_provider = m_master->getDispatcher();
    m_util = m_master->getUtilInterface();
    // A process that ends through exit() with attachments still open (Qt does so when the
    // display connection breaks) must shut the engine down first; left to itself the engine's
    // own exit handling spins forever and keeps the database and the instance lock.
    std::atexit(&FbClient::shutdownEngine);
}

void FbClient::shutdownEngine() {
    FbClient& fb = instance();
    IStatus* status = fb.m_master->getStatus();
    ThrowStatusWrapper wrapper(status);
    errno = 0; // a stale EINTR makes the engine's file calls retry for ever (see Connection)
    try {
        fb.m_provider->shutdown(&wrapper, 5000, fb_shutrsn_app_stopped);
    } catch (const FbException&) {
        // Nothing more can be done while the process ends.
    }
    status->dispose();
}

QString FbClient::formatStatus(IStatus* status) const {
    char buffer[2048];
    unsigned length = m_util->formatStatus(buffer, sizeof buffer, status);
    return QString::fromUtf8(buffer, int(qMin<unsigned>(length, sizeof buffer))).trimmed();
}

FbStatus::FbStatus() : m_status(FbClient::instance().newStatus()), m_wrapper(m_status) {}

FbStatus::~FbStatus() {
    m_status->dispose();
}
