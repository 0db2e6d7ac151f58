// Small plug-in libraries for the manager's tests; which one is built is chosen by a macro.
#include "ptcl/IPtclPlugIn.h"

#include <cstdlib>
#include <string>

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
    void Process(std::uint8_t mode, const char* request, std::size_t length, tk::IPtclBrowser*,
                 tk::IPlugInText* reply) override {
        const std::string text = std::to_string(mode) + ":" + std::string(request, length);
        reply->Assign(text.data(), text.size());
    }

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
#ifdef TK_RETURNS_NONE
    return nullptr;
#else
    return new EchoPlugIn;
#endif
}
#endif
