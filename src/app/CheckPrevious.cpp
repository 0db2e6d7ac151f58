#include "app/CheckPrevious.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
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

[[noreturn]] void throwErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// A lock object in the shared memory folder beside the block (never unlinked, so every process
// locks the same one).
int openLockObject(const QString& name) {
    return shm_open(QFile::encodeName(name).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

// Serialises two starts in the same instant around the check and the count update.
class StartLock {
public:
    explicit StartLock(const QString& name) : m_fd(openLockObject(name)) {
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

// Socket names are short (107 bytes), so the block name is given as a digest.
QString CheckPrevious::activationName(const QString& executablePath) {
    const QByteArray digest =
        QCryptographicHash::hash(blockName(executablePath).toUtf8(), QCryptographicHash::Md5);
    return QStringLiteral("tessaro-kavelin.") + QString::fromLatin1(digest.toHex());
}

CheckPrevious::CheckPrevious(const QString& executablePath)
    : m_name(blockName(executablePath)), m_activationName(activationName(executablePath)) {}

CheckPrevious::~CheckPrevious() {
    release();
}

QString CheckPrevious::lockName(const char* suffix) const {
    return m_name + QLatin1String(suffix);
}

bool CheckPrevious::ActivatePreviousInstance(quint32 window, int maxInstances) {
    StartLock serial(lockName(".start"));
    const QByteArray name = QFile::encodeName(m_name);
    bool created = true;
    m_fd = shm_open(name.constData(), O_RDWR | O_CREAT | O_EXCL, 0600);
    if (m_fd < 0 && errno == EEXIST) {
        created = false;
        m_fd = shm_open(name.constData(), O_RDWR, 0600);
        if (m_fd < 0)
            return true;
    }
    if (m_fd < 0)
        throwErrno("shm_open");
    if (created && ftruncate(m_fd, BlockSize) != 0)
        throwErrno("ftruncate");
    void* view = mmap(nullptr, BlockSize, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, 0);
    if (view == MAP_FAILED)
        throwErrno("mmap");
    m_view = static_cast<Block*>(view);

    if (!created && isStale())
        std::memset(m_view, 0, BlockSize);
    if (maxInstances > m_view->count) {
        m_view->window = window;
        ++m_view->count;
        m_instanceLock = openLockObject(lockName(".lock"));
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
    const int fd = openLockObject(lockName(".lock"));
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
        socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
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
    m_server->setSocketOptions(QLocalServer::AbstractNamespaceOption);
    m_server->listen(m_activationName);
    QObject::connect(m_server, &QLocalServer::newConnection, m_server, [this, onActivate] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket,
                             &QLocalSocket::deleteLater);
            onActivate();
            socket->write("ok\n");
            socket->flush();
        }
    });
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
                    shm_unlink(QFile::encodeName(m_name).constData());
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
