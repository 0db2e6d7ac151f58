#include "app/CheckPrevious.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

// The 20-byte layout shared by every instance of one executable.
struct CheckPrevious::Block {
    quint32 window;
    quint32 reserved1;
    qint32 count;
    quint32 reserved2[2];
};
static_assert(sizeof(CheckPrevious::Block) == 20);

namespace {
constexpr int BlockSize = 20;
// Numbered names tried when a name is taken by another user.
constexpr int NameTries = 10;
// A connection that has been answered but is kept open is closed after this long.
constexpr int IdleConnectionMs = 5000;

std::optional<uint>& peerUidOverride() {
    static std::optional<uint> uid;
    return uid;
}

[[noreturn]] void throwErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// A folder of this user that no one else can open.
bool isPrivateFolder(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

// A lock file in the private folder (never removed, so every process locks the same one).
int openLockFile(const QString& path) {
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                  0600);
}

uint peerUid(qintptr descriptor) {
    if (peerUidOverride())
        return *peerUidOverride();
    struct ucred cred {};
    socklen_t length = sizeof cred;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0)
        return uint(-1);
    return cred.uid;
}

// Serialises two starts in the same instant around the check and the count update.
class StartLock {
public:
    explicit StartLock(const QString& path) : m_fd(openLockFile(path)) {
        if (m_fd < 0 || ::flock(m_fd, LOCK_EX) != 0)
            throwErrno("start lock");
    }
    ~StartLock() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    StartLock(const StartLock&) = delete;
    StartLock& operator=(const StartLock&) = delete;

private:
    int m_fd;
};
} // namespace

QString CheckPrevious::privateFolder() {
    const uid_t uid = ::getuid();
    const QByteArray runtime = "/run/user/" + QByteArray::number(uid);
    if (isPrivateFolder(runtime))
        return QFile::decodeName(runtime);
    for (int i = 0; i < NameTries; ++i) {
        QByteArray path = "/tmp/tessaro-kavelin-" + QByteArray::number(uid);
        if (i > 0)
            path += '-' + QByteArray::number(i);
        if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
            continue;
        struct stat st {};
        // Only the owner can rename or remove a folder in /tmp, so one of ours stays ours.
        if (::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == uid &&
            (st.st_mode & 077) != 0)
            ::chmod(path.constData(), 0700);
        if (isPrivateFolder(path))
            return QFile::decodeName(path);
    }
    throw std::system_error(EACCES, std::generic_category(), "no private folder in /tmp");
}

void CheckPrevious::setPeerUidOverride(std::optional<uint> uid) {
    peerUidOverride() = uid;
}

QString CheckPrevious::blockName(const QString& executablePath) {
    QString name = executablePath;
    name.remove(u'/');
    // Shared memory names are limited in length; very long paths are shortened by a digest.
    if (name.size() > 200)
        name = name.left(160) +
               QString::fromLatin1(
                   QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Md5).toHex());
    return u'/' + name + u'.' + QString::number(::getuid());
}

// Socket paths are short (107 bytes), so the block name is given as a digest.
QString CheckPrevious::activationName(const QString& executablePath) {
    const QByteArray digest =
        QCryptographicHash::hash(blockName(executablePath).toUtf8(), QCryptographicHash::Md5);
    return privateFolder() + QStringLiteral("/tessaro-kavelin.") +
           QString::fromLatin1(digest.toHex());
}

CheckPrevious::CheckPrevious(const QString& executablePath)
    : m_executable(executablePath), m_name(blockName(executablePath)) {}

CheckPrevious::~CheckPrevious() {
    release();
}

QString CheckPrevious::lockName(const char* suffix) const {
    return m_activationName + QLatin1String(suffix);
}

// Opens (or creates) the block; one under the name that another user created is passed over
// for the next numbered name, as if it were not there. Answers whether the block is new.
bool CheckPrevious::openBlock() {
    for (int i = 0; i < NameTries; ++i) {
        const QString name = i == 0 ? m_name : m_name + u'~' + QString::number(i);
        const QByteArray encoded = QFile::encodeName(name);
        bool created = true;
        int fd = shm_open(encoded.constData(), O_RDWR | O_CREAT | O_EXCL, 0600);
        if (fd < 0 && errno == EEXIST) {
            created = false;
            fd = shm_open(encoded.constData(), O_RDWR, 0600);
            if (fd < 0)
                continue; // another user's, closed to this one
        }
        if (fd < 0)
            throwErrno("shm_open");
        struct stat st {};
        if (::fstat(fd, &st) != 0 || st.st_uid != ::getuid()) {
            ::close(fd);
            continue;
        }
        // A block of ours cut short (a start killed right after creating it) starts afresh.
        if (st.st_size < BlockSize) {
            if (::ftruncate(fd, BlockSize) != 0) {
                ::close(fd);
                throwErrno("ftruncate");
            }
            created = true;
        }
        m_fd = fd;
        m_blockName = name;
        return created;
    }
    throw std::system_error(EEXIST, std::generic_category(), "every block name is taken");
}

bool CheckPrevious::ActivatePreviousInstance(quint32 window, int maxInstances) {
    m_activationName = activationName(m_executable);
    StartLock serial(lockName(".start"));
    const bool created = openBlock();
    void* view = mmap(nullptr, BlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
    if (view == MAP_FAILED)
        throwErrno("mmap");
    m_view = static_cast<Block*>(view);

    if (created || isStale())
        std::memset(m_view, 0, BlockSize);
    if (maxInstances > m_view->count) {
        m_view->window = window;
        ++m_view->count;
        m_instanceLock = openLockFile(lockName(".lock"));
        if (m_instanceLock >= 0)
            ::flock(m_instanceLock, LOCK_SH);
        return false;
    }
    m_counted = false;
    m_previousAnswered = signalPrevious();
    return true;
}

// No admitted instance holds its shared lock any more: the count was left by crashed ones.
bool CheckPrevious::isStale() const {
    const int fd = openLockFile(lockName(".lock"));
    if (fd < 0)
        return false;
    const bool stale = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return stale;
}

// Asks the running instance to come forward and waits for its answer. The connection is tried
// again while the instance is still starting (not listening yet); a connection that is accepted
// by the system but never answered means the instance hangs.
bool CheckPrevious::signalPrevious() const {
    QDeadlineTimer deadline(m_answerWait);
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(m_activationName);
        if (!socket.waitForConnected(int(qMax<qint64>(1, deadline.remainingTime())))) {
            QThread::msleep(50);
            continue;
        }
        socket.write("activate\n");
        while (!socket.canReadLine() && socket.state() == QLocalSocket::ConnectedState &&
               !deadline.hasExpired())
            socket.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        return socket.canReadLine() && socket.readLine().trimmed() == "ok";
    }
    return false;
}

void CheckPrevious::listenForActivation(std::function<void()> onActivate) {
    if (!m_counted || m_server)
        return;
    m_server = new QLocalServer;
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket file left by a crashed instance; only the admitted instance gets here.
    QLocalServer::removeServer(m_activationName);
    m_server->listen(m_activationName);
    QObject::connect(m_server, &QLocalServer::newConnection, m_server, [this, onActivate] {
        while (QLocalSocket* socket = m_server->nextPendingConnection())
            serve(socket, onActivate);
    });
}

// Answers one later start of this user; any other peer, and connections beyond the cap, are
// closed unanswered.
void CheckPrevious::serve(QLocalSocket* socket, const std::function<void()>& onActivate) {
    const qsizetype open = m_server->findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly).size();
    if (open > MaxConnections || peerUid(socket->socketDescriptor()) != ::getuid()) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QLocalSocket::deleteLater);
    QTimer::singleShot(IdleConnectionMs, socket, [socket] { socket->abort(); });
    onActivate();
    socket->write("ok\n");
    socket->flush();
}

int CheckPrevious::runningCount() const {
    return m_view ? m_view->count : 0;
}

void CheckPrevious::release() {
    delete m_server;
    m_server = nullptr;
    if (m_view) {
        if (m_counted) {
            try {
                StartLock serial(lockName(".start"));
                if (--m_view->count <= 0)
                    shm_unlink(QFile::encodeName(m_blockName).constData());
            } catch (const std::system_error&) {
                --m_view->count; // give the count back even without the start lock
            }
        }
        munmap(m_view, BlockSize);
        m_view = nullptr;
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (m_instanceLock >= 0)
        ::close(m_instanceLock);
    m_instanceLock = -1;
    m_counted = false;
}
