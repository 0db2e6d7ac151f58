#include "data/Connection.h"

#include "data/DatabaseError.h"
#include "data/FbClient.h"

#include <cerrno>

using namespace Firebird;

Connection::~Connection() {
    try {
        close();
    } catch (const DatabaseError&) {
        // Nothing can be done about a failing detach at the end of the process.
    }
}

void Connection::open() {
    if (m_attachment)
        return;
    FbClient& fb = FbClient::instance();
    KeepSignalHandlers keep;
    FbStatus status;
    const QByteArray path = m_path.toLocal8Bit();
    fbCall([&] {
        IXpbBuilder* dpb = fb.util()->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0);
        dpb->insertString(&status, isc_dpb_user_name, UserName);
        dpb->insertString(&status, isc_dpb_password, Password);
        // Every text crosses the connection as UTF-8, whatever the user's script.
        dpb->insertString(&status, isc_dpb_lc_ctype, "UTF8");
        // Only the engine inside this process: never look for a server.
        dpb->insertString(&status, isc_dpb_config, "Providers=Engine12");
        try {
            m_attachment = fb.provider()->attachDatabase(
                &status, path.constData(), dpb->getBufferLength(&status), dpb->getBuffer(&status));
        } catch (...) {
            dpb->dispose();
            throw;
        }
        dpb->dispose();
    });
}

void Connection::close() {
    if (!m_attachment)
        return;
    auto listeners = m_listeners;
    for (auto& [owner, onClose] : listeners)
        onClose();
    IAttachment* attachment = m_attachment;
    m_attachment = nullptr;
    FbStatus status;
    // The engine's detach retries its file calls while errno reads EINTR, without looking at
    // their results; a stale EINTR (a signal that woke the event loop) would make it spin.
    errno = 0;
    try {
        attachment->detach(&status);
    } catch (const FbException&) {
        attachment->release();
    }
}

void Connection::adopt(IAttachment* attachment, const QString& path) {
    close();
    m_attachment = attachment;
    m_path = path;
}

IAttachment* Connection::attachment() const {
    if (!m_attachment)
        throw DatabaseError(QStringLiteral("Database %1 is not open").arg(m_path));
    return m_attachment;
}

void Connection::addCloseListener(void* owner, std::function<void()> onClose) {
    m_listeners.emplace_back(owner, std::move(onClose));
}

void Connection::removeCloseListener(void* owner) {
    std::erase_if(m_listeners, [owner](const auto& l) { return l.first == owner; });
}
