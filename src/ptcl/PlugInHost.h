#pragma once

#include "ptcl/PlugInMessage.h"

#include <QObject>
#include <QString>
#include <QTimer>

class PtclBrowser;
class QBuffer;
class QEventLoop;
class QProcess;
struct HttpResult;

// Runs the PTCL plug-in in a host process of the program's own (tk-plugin-host) and calls it
// there, so a plug-in that crashes, ends its process or hangs costs one search, not the program.
// The host is started at the first search and kept while it works: the plug-in object lives
// across searches as it would in the program. Fetches the plug-in asks for are made here with
// the page's browser; the caller waits in a local event loop, so the window stays responsive.
class PlugInHost : public QObject {
    Q_OBJECT
public:
    static inline const QString ProgramName = QStringLiteral("tk-plugin-host");
    static inline const QByteArray StoppedReply =
        QByteArrayLiteral("Error:The PTCL plug-in stopped.");
    // The longest the plug-in may work on a search without a reply or a fetch before it counts
    // as hung, and the longest the host may take to load it.
    static constexpr int DefaultHangLimitMs = 30000;
    static constexpr int LoadLimitMs = 30000;

    enum class Outcome {
        Replied,   // the plug-in's reply
        NotLoaded, // the library could not be loaded or has no plug-in (or no host to run it)
        Stopped,   // the host crashed, ended, hung or spoke nonsense; the reply is StoppedReply
        Cancelled, // cancel() or the application's end
    };

    explicit PlugInHost(PtclBrowser& browser, QObject* parent = nullptr);
    ~PlugInHost() override;

    // The library the host loads; a host running another one is stopped.
    void setLibrary(const QString& fileName);
    // The host program (ProgramName beside the program unless set).
    void setProgram(const QString& path) { m_program = path; }
    // A shorter limit for the plug-in's work on a search (tests).
    void setHangLimit(int ms) { m_hangLimitMs = ms; }

    // Starts a host (unless one runs) and waits until it has loaded the plug-in or failed to.
    bool load();
    // Process(mode, request) of the plug-in in the host, serving its fetches until it replies.
    Outcome process(quint8 mode, const QByteArray& request, QByteArray& reply);
    // Ends a process() still waiting, killing the host.
    void cancel();
    // Kills the host at once, whatever it does; a process() waiting ends as cancelled.
    void stop();

    bool isRunning() const { return m_process != nullptr; }
    bool isWaiting() const { return m_loop != nullptr; }
    qint64 processId() const;

private:
    bool launch();
    void kill();
    void wait();
    bool done() const;
    void finish(Outcome outcome);
    void receive();
    void handle(const PlugInMessage& message);
    void startFetch(const PlugInMessage& message);
    void fetched(const HttpResult& result);
    void send(const PlugInMessage& message);
    void abandonFetch();

    PtclBrowser& m_browser;
    QString m_library;
    QString m_program;
    QProcess* m_process = nullptr;
    QByteArray m_input;        // bytes from the host not yet read as messages
    bool m_loaded = false;     // the host said the plug-in was loaded
    bool m_asked = false;      // a Process message waits for its reply
    QBuffer* m_page = nullptr; // the fetch running for the plug-in, if any
    QEventLoop* m_loop = nullptr;
    bool m_ended = false;
    Outcome m_outcome = Outcome::Replied;
    QByteArray m_reply;
    QTimer m_hang;
    int m_hangLimitMs = DefaultHangLimitMs;
};
