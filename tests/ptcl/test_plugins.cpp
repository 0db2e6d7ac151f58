// Small plug-in libraries for the manager's and the host's tests; which one is built is chosen
// by a macro. The unruly one does what the request's name field says: "crash" (a memory fault),
// "abort", "exit", "throw", "hang", "fetch" (a GET of the address field through the browser)
// or "post" (a form posted there); anything else is answered with one record of the host's
// process number, the name and the address, after writing to standard output.
#include "ptcl/IPtclPlugIn.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <unistd.h>

namespace {

// Counts the plug-in objects alive, so a test sees the manager destroy them.
int g_alive = 0;

class EchoPlugIn final : public tk::IPtclPlugIn {
public:
    EchoPlugIn() { ++g_alive; }
    bool QueryInterface(const tk::PlugInGuid& iid, void** out) override {
#ifdef TK_WITHOUT_INTERFACE
        const bool known = iid == tk::IID_IPlugInUnknown;
#else
        const bool known = iid == tk::IID_IPtclPlugIn || iid == tk::IID_IPlugInUnknown;
#endif
        *out = known ? this : nullptr;
        if (known)
            AddRef();
        return known;
    }
    std::uint32_t AddRef() override {
        return ++m_references;
    }
    std::uint32_t Release() override {
        const std::uint32_t left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }
#ifdef TK_UNRULY
    void Process(std::uint8_t, const char* request, std::size_t length, tk::IPtclBrowser* browser,
                 tk::IPlugInText* reply) override {
        const std::string text(request, length);
        const auto first = text.find('\x1f');
        const auto second = text.find('\x1f', first + 1);
        const std::string name = text.substr(first + 1, second - first - 1);
        const std::string address = text.substr(second + 1);
        const std::string answer = act(name, address, browser);
        reply->Assign(answer.data(), answer.size());
    }

    static std::string act(const std::string& name, const std::string& address,
                           tk::IPtclBrowser* browser) {
        if (name == "crash")
            *static_cast<volatile int*>(nullptr) = 1;
        else if (name == "abort")
            std::abort();
        else if (name == "exit")
            std::exit(3);
        else if (name == "throw")
            throw std::runtime_error("thrown by the plug-in");
        else if (name == "hang")
            for (;;)
                pause();
        if (name == "fetch" || name == "post") {
            struct Page : tk::IPlugInText {
                void Assign(const char* bytes, std::size_t size) override {
                    text.assign(bytes, size);
                }
                std::string text;
            } page;
            const int status = browser->Fetch(
                address.c_str(), name == "post" ? "name=Caf\xe9 & Co\nx=1" : nullptr, &page);
            return std::to_string(status) + '\x1f' + page.text + '\x1f' + '\x1e';
        }
        std::puts("chatter on standard output");
        std::fflush(stdout);
        return std::to_string(getpid()) + '\x1f' + name + '\x1f' + address + '\x1e';
    }
#else
    void Process(std::uint8_t mode, const char* request, std::size_t length, tk::IPtclBrowser*,
                 tk::IPlugInText* reply) override {
        const std::string text = std::to_string(mode) + ":" + std::string(request, length);
        reply->Assign(text.data(), text.size());
    }
#endif

private:
    ~EchoPlugIn() {
        --g_alive;
    }
    std::uint32_t m_references = 1;
};

} // namespace

extern "C" __attribute__((visibility("default"))) int AliveObjects() {
    return g_alive;
}

#ifndef TK_WITHOUT_EXPORT
extern "C" __attribute__((visibility("default"))) tk::IPlugInUnknown* RegisterPlugIn(void*,
                                                                                     std::uint8_t) {
#if defined(TK_RETURNS_NONE)
    return nullptr;
#elif defined(TK_CRASHES_ON_LOAD)
    *static_cast<volatile int*>(nullptr) = 1;
    return nullptr;
#else
    return new EchoPlugIn;
#endif
}
#endif
