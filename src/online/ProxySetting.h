#pragma once

#include <QString>

// A proxy to send HTTP requests through; an empty host means none.
struct TProxySetting {
    QString Host;
    int Port = 0;
};

// The proxy list text as the desktop gives it: http_proxy (or HTTP_PROXY) reduced to
// host:port; empty when no proxy is set.
QString DesktopProxyList();

// Picks the proxy for a protocol out of a proxy list: a "protocol=" entry up to its ';' when
// there is one, else the whole list; host before the first ':', port after it (0 when not a
// number). A list without ':' or an empty one gives no proxy.
TProxySetting ParseProxyList(const QString& protocol, const QString& list);

// The desktop's proxy for a protocol ("http"). Keeps no state; safe on any thread.
TProxySetting GetIEProxy(const QString& protocol);
