#pragma once

#include <QByteArray>

// One message between the program and its plug-in host, which talk over the host's standard
// input and output. On the wire: the length of what follows (4 bytes, big-endian), the kind
// (1 byte), the flag (1 byte), the status (4 bytes, big-endian, signed), the length of the first
// text (4 bytes, big-endian), the first text and, to the end, the second text.
struct PlugInMessage {
    enum Kind : quint8 {
        Loaded = 1,  // host: flag 1 when the plug-in was loaded, 0 when not
        Process = 2, // program: flag the mode, first the request
        Fetch = 3,   // host: first the address, second the form lines when flag is 1
        Fetched = 4, // program: status the response status (0: none), first the body
        Reply = 5,   // host: first the plug-in's reply
    };
    enum class Read { Incomplete, Taken, Broken };

    // The longest message either side accepts: a page or reply beyond it is no plug-in's.
    static constexpr quint32 MaxLength = 128 * 1024 * 1024;
    static constexpr quint32 HeaderLength = 10; // kind, flag, status, first text's length

    Kind kind = Reply;
    quint8 flag = 0;
    qint32 status = 0;
    QByteArray first;
    QByteArray second;

    QByteArray encode() const;
    // Takes the first whole message off the front of buffer. Broken when the bytes cannot be
    // a message (a length beyond MaxLength or too short, an unknown kind).
    static Read take(QByteArray& buffer, PlugInMessage& message);
};
