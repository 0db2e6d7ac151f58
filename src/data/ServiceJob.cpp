#include "data/ServiceJob.h"

#include "data/Connection.h"
#include "data/DatabaseError.h"
#include "data/FbClient.h"

#include <QCoreApplication>
#include <QFile>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

using namespace Firebird;

namespace {
constexpr const char* ServiceManager = "service_mgr";
constexpr unsigned OutputBufferSize = 16384;

// The builder's buffer, disposed of on every way out.
class Spb {
public:
    Spb(FbStatus& status, unsigned kind)
        : m_status(status),
          m_builder(FbClient::instance().util()->getXpbBuilder(&status, kind, nullptr, 0)) {}
    ~Spb() { m_builder->dispose(); }
    Spb(const Spb&) = delete;
    Spb& operator=(const Spb&) = delete;
    IXpbBuilder* operator->() const { return m_builder; }
    unsigned length() { return m_builder->getBufferLength(&m_status); }
    const unsigned char* buffer() { return m_builder->getBuffer(&m_status); }

private:
    FbStatus& m_status;
    IXpbBuilder* m_builder;
};

// A restore that meets the end of a backup file cut short asks for the next volume on the
// process's terminal and waits there for an answer. The program reads nothing from a terminal,
// so it gives its terminal up before a restore: the question then gets no terminal and the
// restore ends (as failed) at once.
void keepOffTerminal() {
    if (::isatty(STDIN_FILENO)) {
        const int null = ::open("/dev/null", O_RDONLY);
        if (null >= 0) {
            ::dup2(null, STDIN_FILENO);
            ::close(null);
        }
    }
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY);
    if (tty >= 0) {
        // A session leader that gives up its terminal is sent SIGHUP; it is not meant for us.
        struct sigaction ignore {
        }, previous{};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGHUP, &ignore, &previous);
        ::ioctl(tty, TIOCNOTTY);
        ::close(tty);
        sigaction(SIGHUP, &previous, nullptr);
    }
}
} // namespace

struct ServiceJob::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<QString> lines;
    bool finished = false;
    bool failed = false;
    QString error;
    long code = 0;
};

ServiceJob::ServiceJob(Action action, QString database, QString backupFile)
    : m_action(action), m_database(std::move(database)), m_backupFile(std::move(backupFile)) {}

void ServiceJob::processPendingEvents() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ServiceJob::run(const LineHandler& onLine, const Pump& pump) {
    FbClient::instance(); // loaded here, on the calling thread, before the worker uses it
    if (m_action == Action::Restore)
        keepOffTerminal();
    Shared shared;
    std::thread worker([this, &shared] { serve(shared); });
    const Pump wait = pump ? pump : Pump(&ServiceJob::processPendingEvents);
    for (;;) {
        std::deque<QString> batch;
        bool finished = false;
        {
            std::unique_lock lock(shared.mutex);
            shared.changed.wait_for(lock, std::chrono::milliseconds(15),
                                    [&] { return shared.finished || !shared.lines.empty(); });
            batch.swap(shared.lines);
            finished = shared.finished;
        }
        for (const QString& line : batch)
            onLine(line);
        if (finished)
            break;
        wait();
    }
    worker.join();
    if (shared.failed)
        throw DatabaseError(shared.error, shared.code);
}

// Attaches to the services manager, starts the action and reads its output one line at a time
// until the service says it has no more; the engine reports the service's own failure through
// the status of that last query.
void ServiceJob::serve(Shared& shared) const {
    const auto publish = [&shared](auto&& change) {
        {
            std::lock_guard lock(shared.mutex);
            change();
        }
        shared.changed.notify_one();
    };
    FbClient& fb = FbClient::instance();
    IService* service = nullptr;
    try {
        KeepSignalHandlers keep;
        FbStatus status;
        const QByteArray database = m_database.toUtf8();
        const QByteArray backup = m_backupFile.toUtf8();
        try {
            Spb attach(status, IXpbBuilder::SPB_ATTACH);
            attach->insertString(&status, isc_spb_user_name, "sysdba");
            attach->insertString(&status, isc_spb_password, Connection::Password);
            // Only the engine inside this process: never look for a server.
            attach->insertString(&status, isc_spb_config, "Providers=Engine12");
            // File names go out as UTF-8, whatever the user called the folders.
            attach->insertTag(&status, isc_spb_utf8_filename);
            service = fb.provider()->attachServiceManager(&status, ServiceManager, attach.length(),
                                                          attach.buffer());

            Spb start(status, IXpbBuilder::SPB_START);
            if (m_action == Action::Backup) {
                start->insertTag(&status, isc_action_svc_backup);
                start->insertString(&status, isc_spb_dbname, database.constData());
                start->insertString(&status, isc_spb_bkp_file, backup.constData());
                start->insertTag(&status, isc_spb_verbose);
            } else {
                start->insertTag(&status, isc_action_svc_restore);
                start->insertString(&status, isc_spb_bkp_file, backup.constData());
                start->insertString(&status, isc_spb_dbname, database.constData());
                start->insertTag(&status, isc_spb_verbose);
                start->insertInt(&status, isc_spb_options,
                                 isc_spb_res_replace | isc_spb_res_create);
            }
            service->start(&status, start.length(), start.buffer());

            const unsigned char wanted[] = {isc_info_svc_line};
            unsigned char buffer[OutputBufferSize];
            for (;;) {
                service->query(&status, 0, nullptr, sizeof wanted, wanted, sizeof buffer, buffer);
                if (buffer[0] != isc_info_svc_line)
                    break;
                const unsigned length = unsigned(buffer[1]) | unsigned(buffer[2]) << 8;
                if (length == 0 || length > sizeof buffer - 3)
                    break;
                QString line =
                    QString::fromUtf8(reinterpret_cast<const char*>(buffer + 3), int(length));
                publish([&] { shared.lines.push_back(std::move(line)); });
            }
            service->detach(&status);
            service = nullptr;
        } catch (const FbException& e) {
            if (service) {
                service->release();
                service = nullptr;
            }
            throwDatabaseError(e);
        }
    } catch (const DatabaseError& e) {
        publish([&] {
            shared.failed = true;
            shared.error = e.message();
            shared.code = e.gdsCode();
        });
    } catch (const std::exception& e) {
        publish([&] {
            shared.failed = true;
            shared.error = QString::fromLocal8Bit(e.what());
        });
    }
    publish([&] { shared.finished = true; });
}
