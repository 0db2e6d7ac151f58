#pragma once

#include "reports/RtfProps.h"
#include "reports/RtfTokenizer.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class QTextDocument;
class RtfDocumentBuilder;

// Reads RTF bytes into a QTextDocument: text with bold, italic, underline, sizes, fonts and
// colours, paragraphs with alignment, indents and spacing, Unicode and code-page characters,
// and tables. Destinations that hold no visible text (font and colour tables, style sheets,
// pictures, document information, ...) and unknown control words are skipped. Malformed or
// truncated input gives whatever was readable, never a crash.
class RtfReader {
public:
    RtfReader();
    ~RtfReader();

    // Replaces the content of the document with the RTF document (or, for bytes that are not
    // RTF, with them as Latin-1 plain text).
    // The page properties the document sets are stored in `page` when given.
    static void read(const QByteArray& rtf, QTextDocument* document, RtfPageProps* page = nullptr);

    // The same read a part at a time, for a caller that lets its window work between parts:
    // start(), then advance() until it answers true; the document is complete only then.
    void start(const QByteArray& rtf, QTextDocument* document);
    // Reads up to `tokens` more of the document's tokens; true when the read is complete.
    bool advance(int tokens);
    // How far the read has come, 0 to 1.
    qreal done() const;
    // The page properties the document set (complete at the end of the read).
    const RtfPageProps& page() const { return m_page; }

    // The page properties the document sets before its first paragraph, read without building
    // a document.
    static RtfPageProps pageProps(const QByteArray& rtf);

    static constexpr int kMaxDepth = 300;

private:
    enum class Dest { Text, Skip, FontTable, ColourTable, Upr };

    struct State {
        Dest dest = Dest::Text;
        RtfCharProps chars;
        RtfParaProps para;
        int unicodeSkip = 1;
        bool inUpr = false; // a group inside \upr
    };

    void token(const RtfTokenizer::Token& t);
    void groupStart();
    void groupEnd();
    void word(const RtfTokenizer::Token& t);
    void symbol(char c);
    void text(const QByteArray& bytes);
    void putText(const QString& text);
    void unicodeUnit(char16_t unit);
    void flushSurrogate();

    bool destinationWord(const QByteArray& w);
    bool tableWord(const QByteArray& w, const RtfTokenizer::Token& t);
    bool documentWord(const QByteArray& w, const RtfTokenizer::Token& t);
    static bool pageWord(RtfPageProps& page, const QByteArray& w, const RtfTokenizer::Token& t);
    bool charWord(const QByteArray& w, const RtfTokenizer::Token& t);
    bool paraWord(const QByteArray& w, const RtfTokenizer::Token& t);
    bool specialWord(const QByteArray& w);
    void fontTableWord(const QByteArray& w, const RtfTokenizer::Token& t);
    void colourTableWord(const QByteArray& w, const RtfTokenizer::Token& t);
    void fontTableText(const QString& text);
    void colourTableText(const QByteArray& bytes);

    QChar decode(unsigned char byte) const;
    RtfCharProps plainChars() const;
    State& state() { return m_stack.back(); }

    QByteArray m_bytes;
    std::unique_ptr<RtfTokenizer> m_tokens;
    std::unique_ptr<RtfDocumentBuilder> m_builder;
    std::vector<State> m_stack;
    int m_overflow = 0;       // groups opened beyond the depth limit
    bool m_ignorable = false; // the last token was \*
    bool m_done = false;
    int m_pendingSkip = 0;        // fallback characters after \uN still to skip
    char16_t m_highSurrogate = 0; // first half of a pair given by \uN, waiting for its second
    bool m_cp1252 = true;
    int m_defaultFont = -1;

    RtfRowProps m_row;
    RtfPageProps m_page;
    bool m_rowFresh = false; // \trowd seen, no cell of the row defined yet

    int m_fontNumber = -1;
    QString m_fontName;
    int m_fontHint = 0;
    int m_red = -1, m_green = -1, m_blue = -1;
};
