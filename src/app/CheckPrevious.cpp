#include "app/CheckPrevious.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

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

// Serialises two starts in the same instant around the check and the count update.
class FileLock {
public:
    FileLock(const QString& path, int operation)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (m_fd < 0 || ::flock(m_fd, operation) != 0)
            throwErrno("lock file");
    }
    ~FileLock() {
        if (m_fd >= 0)
            ::close(m_fd);
    }

private:
    int m_fd;
};

QString runtimeDir() {
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QStringLiteral("/tmp/tessaro-kavelin-%1").arg(getuid());
    QDir().mkpath(dir);
    return dir;
}
} // namespace

QString CheckPrevious::blockName(const QString& executablePath) {
    QString name = executablePath;
    name.remove(u'/');
    // Shared memory names are limited in length; very long paths are shortened by a digest.
    if (name.size() > 200)
        name = name.left(160) + QString::fromLatin1(QCryptographicHash::hash(
                                                        name.toUtf8(), QCryptographicHash::Md5)
                                                        .toHex());
    return u'/' + name;
}

CheckPrevious::CheckPrevious(const QString& executablePath)
    : m_name(blockName(executablePath)) {}

CheckPrevious::~CheckPrevious() { release(); }

QString CheckPrevious::lockPath(const char* suffix) const {
    return runtimeDir() + u'/' + m_name.mid(1) + QLatin1String(suffix);
}

bool CheckPrevious::ActivatePreviousInstance(quint32 window, int maxInstances) {
    FileLock serial(lockPath(".start"), LOCK_EX);
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
        m_instanceLock =
            ::open(QFile::encodeName(lockPath(".lock")).constData(), O_RDWR | O_CREAT | O_CLOEXEC,
                   0600);
        if (m_instanceLock >= 0)
            ::flock(m_instanceLock, LOCK_SH);
        return false;
    }
    m_counted = false;
    signalPrevious();
    return true;
}

// No admitted instance holds its shared lock any more: the count was left by crashed ones.
bool CheckPrevious::isStale() const {
    const int fd = ::open(QFile::encodeName(lockPath(".lock")).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool stale = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return stale;
}

void CheckPrevious::signalPrevious() const {
    QLocalSocket socket;
    socket.connectToServer(m_name.mid(1));
    if (socket.waitForConnected(2000)) {
        socket.write("activate\n");
        socket.waitForBytesWritten(1000);
        socket.disconnectFromServer();
    }
}

void CheckPrevious::listenForActivation(std::function<void()> onActivate) {
    if (!m_counted || m_server)
        return;
    m_server = new QLocalServer;
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(m_name.mid(1));
    m_server->listen(m_name.mid(1));
    QObject::connect(m_server, &QLocalServer::newConnection, m_server, [this, onActivate] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket,
                             &QLocalSocket::deleteLater);
            onActivate();
        }
    });
}

int CheckPrevious::runningCount() const { return m_view ? m_view->count : 0; }

void CheckPrevious::release() {
    delete m_server;
    m_server = nullptr;
    if (m_view) {
        if (m_counted) {
            try {
                FileLock serial(lockPath(".start"), LOCK_EX);
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
