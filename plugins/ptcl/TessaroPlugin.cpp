// The PTCL directory plug-in: answers the program's phone and name-and-address searches by
// posting them to the directory's search page (fetched through the browser the program hands
// over) and reading the table of entries out of the page. Where the directory lives is read from
// TessaroPlugin.conf beside the library ("directory=<address of the search page>").
#include "ptcl/IPtclPlugIn.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr char RS = '\x1e';
constexpr char US = '\x1f';
const std::string DefaultDirectory = "http://127.0.0.1:8417/hvx/ptcl.php";

// The folder of this library, to find its settings file.
std::string libraryFolder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&libraryFolder), &info) || !info.dli_fname)
        return ".";
    const std::string path = info.dli_fname;
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string directoryAddress() {
    std::ifstream file(libraryFolder() + "/TessaroPlugin.conf");
    std::string line;
    while (std::getline(file, line)) {
        line = trim(line);
        if (line.rfind("directory=", 0) == 0 && line.size() > 10)
            return line.substr(10);
    }
    return DefaultDirectory;
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    for (;;) {
        const auto end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// The page's text with its character references and entities read (Latin-1 only).
std::string unescape(const std::string& html) {
    std::string text;
    for (std::string::size_type i = 0; i < html.size(); ++i) {
        if (html[i] != '&') {
            text += html[i];
            continue;
        }
        const auto end = html.find(';', i);
        if (end == std::string::npos || end - i > 8) {
            text += '&';
            continue;
        }
        const std::string name = html.substr(i + 1, end - i - 1);
        if (name == "amp")
            text += '&';
        else if (name == "lt")
            text += '<';
        else if (name == "gt")
            text += '>';
        else if (name == "quot")
            text += '"';
        else if (name == "#39" || name == "apos")
            text += '\'';
        else if (name.size() > 1 && name[0] == '#') {
            const long code = std::strtol(name.c_str() + 1, nullptr, 10);
            text += code > 0 && code < 256 ? char(code) : '?';
        } else {
            text += html.substr(i, end - i + 1);
        }
        i = end;
    }
    return text;
}

// The text between open and the next close after position at, moving at past it.
bool between(const std::string& page, const std::string& open, const std::string& close,
             std::string::size_type& at, std::string& inside) {
    const auto start = page.find(open, at);
    if (start == std::string::npos)
        return false;
    const auto end = page.find(close, start + open.size());
    if (end == std::string::npos)
        return false;
    inside = page.substr(start + open.size(), end - start - open.size());
    at = end + close.size();
    return true;
}

// Records out of the directory's result page, or "Error:" and its message.
std::string readPage(const std::string& page) {
    std::string::size_type at = 0;
    std::string inside;
    if (between(page, "<div class=\"error\">", "</div>", at, inside))
        return "Error:" + trim(unescape(inside));
    std::string records;
    at = 0;
    std::string row;
    while (between(page, "<tr class=\"r\">", "</tr>", at, row)) {
        std::string::size_type cell = 0;
        std::string fields[3];
        for (std::string& field : fields) {
            std::string value;
            if (between(row, "<td>", "</td>", cell, value))
                field = trim(unescape(value));
        }
        records += fields[0] + US + fields[1] + US + fields[2] + RS;
    }
    return records;
}

class PtclPlugIn final : public tk::IPtclPlugIn {
public:
    bool QueryInterface(const tk::PlugInGuid& iid, void** out) override {
        const bool known = iid == tk::IID_IPtclPlugIn || iid == tk::IID_IPlugInUnknown;
        *out = known ? static_cast<tk::IPtclPlugIn*>(this) : nullptr;
        if (known)
            AddRef();
        return known;
    }
    std::uint32_t AddRef() override { return ++m_references; }
    std::uint32_t Release() override {
        const std::uint32_t left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

    void Process(std::uint8_t mode, const char* request, std::size_t length,
                 tk::IPtclBrowser* browser, tk::IPlugInText* reply) override {
        const std::string answer =
            mode == 1 ? readPage(std::string(request, length)) : search(request, length, browser);
        reply->Assign(answer.data(), answer.size());
    }

private:
    ~PtclPlugIn() = default;

    // A search: fetched through the browser when there is one; otherwise the transfer is
    // described for the host, which hands the fetched page back in mode 1.
    static std::string search(const char* request, std::size_t length, tk::IPtclBrowser* browser) {
        std::vector<std::string> parts = split(std::string(request, length), US);
        parts.resize(3);
        const std::string form =
            "phone=" + parts[0] + "\nname=" + parts[1] + "\naddress=" + parts[2];
        const std::string address = directoryAddress();
        if (!browser)
            return "POST" + std::string(1, US) + address + US + form;
        struct Page : tk::IPlugInText {
            void Assign(const char* bytes, std::size_t size) override { text.assign(bytes, size); }
            std::string text;
        } page;
        const int status = browser->Fetch(address.c_str(), form.c_str(), &page);
        if (status == 0)
            return "Error:The PTCL directory does not answer. Check the Internet connection.";
        if (status != 200)
            return "Error:The PTCL directory answered with an error (" + std::to_string(status) +
                   ").";
        return readPage(page.text);
    }

    std::atomic<std::uint32_t> m_references{1};
};

} // namespace

extern "C" __attribute__((visibility("default"))) tk::IPlugInUnknown*
RegisterPlugIn(void* /*owner*/, std::uint8_t /*flag*/) {
    return new PtclPlugIn;
}
