#pragma once

#include "online/HttpClient.h"
#include "ptcl/IPtclPlugIn.h"

// The page fetcher handed to the PTCL plug-in: GET and web-form POST through a client of its own
// (the browser's user agent, cookies for the run, the desktop's proxy, no redirects), waiting in
// a local event loop so the window stays responsive while the directory answers.
class PtclBrowser : public tk::IPtclBrowser {
public:
    // The largest page fetched for the plug-in; a larger one gets no response.
    static constexpr qint64 PageCeiling = 16LL * 1024 * 1024;
    static inline const QByteArray UserAgent =
        QByteArrayLiteral("Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 5.1)");

    PtclBrowser();

    int Fetch(const char* url, const char* formLines, tk::IPlugInText* body) override;

    // Starts the transfer Fetch makes without waiting for it (no form lines: a GET); the
    // client's finished() tells its end, statusOf() what the plug-in is answered.
    void start(const QByteArray& url, const QByteArray* formLines, QIODevice* sink);
    static int statusOf(const HttpResult& result) {
        return result.errorText.isEmpty() ? result.status : 0;
    }

    // Ends a fetch still waiting (the program is ending); the plug-in sees no response.
    void abort() { m_client.abort(); }
    HttpClient& client() { return m_client; }

    // Form lines "name=value" (LF or CR LF between them, Latin-1) as an encoded web form.
    static QByteArray encodeForm(const QByteArray& lines);

private:
    HttpClient m_client;
};
