#include "PlugInServer.h"

#include "ptcl/TPlugInManager.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

namespace {

struct Text : tk::IPlugInText {
    void Assign(const char* bytes, std::size_t length) override {
        value = QByteArray(bytes, qsizetype(length));
    }
    QByteArray value;
};

// Exit statuses: the program closed the pipe, a write failed, the program sent nonsense.
constexpr int Ended = 0;
constexpr int WriteFailed = 1;
constexpr int Broken = 2;

} // namespace

int PlugInServer::run(const QString& library) {
    TPlugInManager manager;
    void* reference = nullptr;
    const bool loaded = manager.LoadPlugIn(library, tk::IID_IPtclPlugIn, reference, 0);
    PlugInMessage answer;
    answer.kind = PlugInMessage::Loaded;
    answer.flag = loaded ? 1 : 0;
    if (!send(answer))
        return WriteFailed;
    if (!loaded)
        return Ended;
    auto* plugIn = static_cast<tk::IPtclPlugIn*>(reference);
    PlugInMessage message;
    while (receive(message)) {
        if (message.kind != PlugInMessage::Process)
            return Broken;
        Text reply;
        plugIn->Process(message.flag, message.first.constData(), std::size_t(message.first.size()),
                        this, &reply);
        PlugInMessage replied;
        replied.kind = PlugInMessage::Reply;
        replied.first = reply.value;
        if (!send(replied))
            return WriteFailed;
    }
    manager.UnloadPlugIn(reference);
    return Ended;
}

int PlugInServer::Fetch(const char* url, const char* formLines, tk::IPlugInText* body) {
    PlugInMessage request;
    request.kind = PlugInMessage::Fetch;
    request.first = QByteArray(url ? url : "");
    if (formLines) {
        request.flag = 1;
        request.second = QByteArray(formLines);
    }
    PlugInMessage page;
    // Without the program there is nobody to fetch for or to answer: the plug-in goes too.
    if (!send(request))
        std::_Exit(WriteFailed);
    if (!receive(page))
        std::_Exit(Ended);
    if (page.kind != PlugInMessage::Fetched)
        std::_Exit(Broken);
    if (body)
        body->Assign(page.first.constData(), std::size_t(page.first.size()));
    return page.status;
}

bool PlugInServer::send(const PlugInMessage& message) {
    const QByteArray bytes = message.encode();
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n =
            ::write(m_out, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

bool PlugInServer::receive(PlugInMessage& message) {
    for (;;) {
        switch (PlugInMessage::take(m_input, message)) {
        case PlugInMessage::Read::Taken:
            return true;
        case PlugInMessage::Read::Broken:
            return false;
        case PlugInMessage::Read::Incomplete:
            break;
        }
        char chunk[65536];
        const ssize_t n = ::read(m_in, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        m_input.append(chunk, n);
    }
}
