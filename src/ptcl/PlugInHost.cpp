#include "ptcl/PlugInHost.h"

#include "online/HttpClient.h"
#include "ptcl/PtclBrowser.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>

PlugInHost::PlugInHost(PtclBrowser& browser, QObject* parent)
    : QObject(parent), m_browser(browser),
      m_program(QCoreApplication::applicationDirPath() + u'/' + ProgramName) {
    m_hang.setSingleShot(true);
    connect(&m_hang, &QTimer::timeout, this, [this] { finish(Outcome::Stopped); });
    connect(&m_browser.client(), &HttpClient::finished, this, &PlugInHost::fetched);
}

PlugInHost::~PlugInHost() {
    abandonFetch();
    kill();
}

void PlugInHost::setLibrary(const QString& fileName) {
    if (fileName == m_library)
        return;
    stop();
    m_library = fileName;
}

qint64 PlugInHost::processId() const {
    return m_process ? m_process->processId() : 0;
}

bool PlugInHost::load() {
    if (isWaiting())
        return false;
    m_ended = false;
    if (!isRunning() && !launch())
        return false;
    wait();
    return m_loaded && !m_ended;
}

PlugInHost::Outcome PlugInHost::process(quint8 mode, const QByteArray& request, QByteArray& reply) {
    if (isWaiting())
        return Outcome::Cancelled; // one call at a time
    m_ended = false;
    m_reply.clear();
    if (!isRunning() && !launch())
        return Outcome::NotLoaded;
    PlugInMessage message;
    message.kind = PlugInMessage::Process;
    message.flag = mode;
    message.first = request;
    // Sent at once even while the host is still loading: it reads the request once it is ready.
    send(message);
    m_asked = true;
    if (m_loaded)
        m_hang.start(m_hangLimitMs);
    wait();
    reply = m_outcome == Outcome::Stopped ? StoppedReply : m_reply;
    return m_outcome;
}

void PlugInHost::cancel() {
    if (isWaiting())
        finish(Outcome::Cancelled);
}

void PlugInHost::stop() {
    if (isWaiting())
        finish(Outcome::Cancelled); // which kills the host
    else
        kill();
}

void PlugInHost::kill() {
    m_hang.stop();
    m_loaded = false;
    m_asked = false;
    m_input.clear();
    QProcess* process = m_process;
    if (!process)
        return;
    m_process = nullptr;
    process->disconnect(this);
    if (process->state() != QProcess::NotRunning) {
        // SIGKILL needs no co-operation; the wait only collects the process's end.
        process->kill();
        process->waitForFinished(2000);
    }
    // The process may be the sender of the signal being handled.
    process->deleteLater();
}

// Starts a host for the library; the load and the search's hang limit start with it.
bool PlugInHost::launch() {
    kill();
    if (m_library.isEmpty())
        return false;
    m_process = new QProcess(this);
    // The plug-in's diagnostics go where the program's go, never piling up unread.
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(m_process, &QProcess::readyReadStandardOutput, this, &PlugInHost::receive);
    connect(m_process, &QProcess::finished, this, [this] {
        // A host that ends between searches is simply started anew by the next one.
        if (isWaiting())
            finish(Outcome::Stopped);
        else
            kill();
    });
    m_process->start(m_program, {m_library});
    if (!m_process->waitForStarted()) {
        kill();
        return false;
    }
    m_hang.start(LoadLimitMs);
    return true;
}

bool PlugInHost::done() const {
    return m_ended || (!m_asked && m_loaded);
}

void PlugInHost::wait() {
    if (!done()) {
        QEventLoop loop;
        m_loop = &loop;
        loop.exec();
        m_loop = nullptr;
    }
    // The loop also ends when the application is ending: the search is given up.
    if (!done())
        finish(Outcome::Cancelled);
}

void PlugInHost::finish(Outcome outcome) {
    if (!m_ended) {
        m_ended = true;
        m_outcome = outcome;
    }
    if (outcome != Outcome::Replied) {
        abandonFetch();
        kill();
    }
    if (m_loop)
        m_loop->quit();
}

void PlugInHost::receive() {
    if (!m_process)
        return;
    m_input += m_process->readAllStandardOutput();
    PlugInMessage message;
    while (m_process) {
        switch (PlugInMessage::take(m_input, message)) {
        case PlugInMessage::Read::Incomplete:
            return;
        case PlugInMessage::Read::Broken:
            finish(Outcome::Stopped);
            return;
        case PlugInMessage::Read::Taken:
            handle(message);
            break;
        }
    }
}

void PlugInHost::handle(const PlugInMessage& message) {
    if (message.kind == PlugInMessage::Loaded && !m_loaded) {
        if (message.flag != 1) {
            finish(Outcome::NotLoaded);
            return;
        }
        m_loaded = true;
        if (m_asked) {
            m_hang.start(m_hangLimitMs); // the search's own time starts now
        } else {
            m_hang.stop();
            if (m_loop)
                m_loop->quit(); // load() is answered
        }
        return;
    }
    if (m_asked && !m_page && message.kind == PlugInMessage::Fetch) {
        startFetch(message);
        return;
    }
    if (m_asked && !m_page && message.kind == PlugInMessage::Reply) {
        m_asked = false;
        m_hang.stop();
        m_reply = message.first;
        finish(Outcome::Replied);
        return;
    }
    // Anything else, or anything between searches, is a host that cannot be trusted.
    finish(Outcome::Stopped);
}

// The plug-in waits in the host while the program fetches: that time is not the plug-in's.
void PlugInHost::startFetch(const PlugInMessage& message) {
    m_hang.stop();
    m_page = new QBuffer(this);
    m_page->open(QIODevice::WriteOnly);
    m_browser.start(message.first, message.flag == 1 ? &message.second : nullptr, m_page);
}

void PlugInHost::fetched(const HttpResult& result) {
    QBuffer* page = m_page;
    if (!page)
        return; // a fetch of the browser's own, not the host's
    m_page = nullptr;
    PlugInMessage answer;
    answer.kind = PlugInMessage::Fetched;
    answer.status = PtclBrowser::statusOf(result);
    answer.first = page->data();
    page->deleteLater();
    if (answer.first.size() > qsizetype(PlugInMessage::MaxLength - PlugInMessage::HeaderLength)) {
        answer.status = 0; // too large to hand over: as if no response arrived
        answer.first.clear();
    }
    send(answer);
    m_hang.start(m_hangLimitMs);
}

void PlugInHost::send(const PlugInMessage& message) {
    if (m_process)
        m_process->write(message.encode());
}

void PlugInHost::abandonFetch() {
    QBuffer* page = m_page;
    if (!page)
        return;
    m_page = nullptr;
    m_browser.abort();
    page->deleteLater();
}
