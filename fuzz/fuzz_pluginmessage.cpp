// Fuzz target: the messages the program reads from its plug-in host. Whatever bytes arrive, the
// reader takes whole messages off the front, each of which writes back to exactly the bytes it
// was read from, or stops at an incomplete or broken one without consuming it.
#include "ptcl/PlugInMessage.h"

#include "FuzzCheck.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray buffer(reinterpret_cast<const char*>(data), qsizetype(size));
    PlugInMessage message;
    for (;;) {
        const QByteArray before = buffer;
        const PlugInMessage::Read read = PlugInMessage::take(buffer, message);
        if (read != PlugInMessage::Read::Taken) {
            if (buffer != before)
                fuzzFail("plug-in message", "a message that was not taken consumed bytes");
            return 0;
        }
        const QByteArray written = message.encode();
        if (!before.startsWith(written) || before.size() - written.size() != buffer.size())
            fuzzFail("plug-in message", "a message does not write back to its bytes", written);
    }
}
