#pragma once

// The contract between the program and a PTCL directory plug-in library. A plug-in author needs
// this header alone: it uses nothing but the C++ standard library, and every text crosses the
// library boundary as bytes (Latin-1) with an explicit length, never as a C++ library type.
//
// A plug-in library exports, with C linkage:
//     tk::IPlugInUnknown* RegisterPlugIn(void* owner, std::uint8_t flag);
// which answers a newly created plug-in object (holding one reference) or nullptr. The program
// asks the object for IPtclPlugIn through QueryInterface, calls Process, and at the end releases
// the reference that RegisterPlugIn handed over, which destroys the object.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tk {

// A 16-byte interface identifier, laid out like a Windows GUID.
struct PlugInGuid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];

    bool operator==(const PlugInGuid& other) const {
        return std::memcmp(this, &other, sizeof(PlugInGuid)) == 0;
    }
};

// The base of every plug-in object: reference counting and asking for an interface.
class IPlugInUnknown {
public:
    // Writes the interface of the given identifier to out (adding a reference) and answers true,
    // or writes nullptr and answers false when the object has no such interface.
    virtual bool QueryInterface(const PlugInGuid& iid, void** out) = 0;
    virtual std::uint32_t AddRef() = 0;
    // Drops a reference; the object destroys itself when none is left.
    virtual std::uint32_t Release() = 0;

protected:
    ~IPlugInUnknown() = default;
};

// A text owned by the caller that the callee fills: the plug-in's reply, a fetched page.
class IPlugInText {
public:
    virtual void Assign(const char* bytes, std::size_t length) = 0;

protected:
    ~IPlugInText() = default;
};

// The page fetcher the program hands to Process: it fetches web pages for the plug-in with the
// program's proxy setting and keeps cookies for the run. It blocks the calling plug-in until the
// transfer has ended, while the program's window stays responsive.
class IPtclBrowser {
public:
    // GET url (formLines == nullptr) or POST formLines (lines "name=value" separated by LF, sent
    // encoded as a web form) to url. Writes the response body to body and answers the response
    // status, or 0 when no response arrived (no connection, time-out, cancelled).
    virtual int Fetch(const char* url, const char* formLines, IPlugInText* body) = 0;

protected:
    ~IPtclBrowser() = default;
};

// The PTCL directory search. Requests and replies are Latin-1 bytes; RS is byte 30, US byte 31.
class IPtclPlugIn : public IPlugInUnknown {
public:
    // mode 0: request is "phone US name US address"; the reply is "Error:" and a message for the
    //         user, or records each followed by RS with fields phone US name US address.
    // mode 1: request is the body of a page the host fetched; the reply is records as above.
    virtual void Process(std::uint8_t mode, const char* request, std::size_t requestLength,
                         IPtclBrowser* browser, IPlugInText* reply) = 0;

protected:
    ~IPtclPlugIn() = default;
};

// {01D4BDAE-59DC-41CA-9588-1FA591154334}
inline constexpr PlugInGuid IID_IPtclPlugIn = {
    0x01D4BDAE, 0x59DC, 0x41CA, {0x95, 0x88, 0x1F, 0xA5, 0x91, 0x15, 0x43, 0x34}};

// {00000000-0000-0000-C000-000000000046}, the identifier of the base interface.
inline constexpr PlugInGuid IID_IPlugInUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The signature of the exported entry point.
using RegisterPlugInFunction = IPlugInUnknown* (*)(void* owner, std::uint8_t flag);

} // namespace tk
