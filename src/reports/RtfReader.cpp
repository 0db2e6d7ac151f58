#include "reports/RtfReader.h"

#include "reports/RtfDocumentBuilder.h"

#include <QFont>
#include <QHash>
#include <QSet>
#include <QTextDocument>
#include <limits>

namespace {

// Windows-1252 characters of the bytes 0x80..0x9F (0 where the code page has none).
const char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Destinations whose content is never shown.
const QSet<QByteArray>& skippedDestinations() {
    static const QSet<QByteArray> words{"stylesheet",
                                        "info",
                                        "pict",
                                        "object",
                                        "header",
                                        "headerl",
                                        "headerr",
                                        "headerf",
                                        "footer",
                                        "footerl",
                                        "footerr",
                                        "footerf",
                                        "footnote",
                                        "annotation",
                                        "fldinst",
                                        "themedata",
                                        "colorschememapping",
                                        "datastore",
                                        "latentstyles",
                                        "listtable",
                                        "listoverridetable",
                                        "rsidtbl",
                                        "generator",
                                        "xmlnstbl",
                                        "mmathPr",
                                        "pgdsctbl",
                                        "revtbl",
                                        "filetbl",
                                        "pnseclvl",
                                        "nonshppict",
                                        "shpinst",
                                        "template",
                                        "userprops",
                                        "docvar",
                                        "fchars",
                                        "lchars",
                                        "ftnsep",
                                        "ftnsepc",
                                        "ftncn",
                                        "aftnsep",
                                        "aftnsepc",
                                        "aftncn",
                                        "bkmkstart",
                                        "bkmkend",
                                        "xe",
                                        "tc",
                                        "txe",
                                        "rxe",
                                        "atnid",
                                        "atnauthor",
                                        "atrfstart",
                                        "atrfend",
                                        "atndate",
                                        "pn",
                                        "blipuid",
                                        "wgrffmtfilter",
                                        "passwordhash",
                                        "pgptbl",
                                        "listpicture",
                                        "sp",
                                        "sn",
                                        "sv",
                                        "objdata",
                                        "objclass",
                                        "objname",
                                        "fontemb",
                                        "fontfile",
                                        "keycode",
                                        "title",
                                        "subject",
                                        "author",
                                        "operator",
                                        "keywords",
                                        "comment",
                                        "doccomm",
                                        "company",
                                        "category",
                                        "hlinkbase",
                                        "creatim",
                                        "revtim",
                                        "printim",
                                        "buptim",
                                        "falt",
                                        "panose",
                                        "protusertbl"};
    return words;
}

} // namespace

RtfReader::RtfReader() = default;
RtfReader::~RtfReader() = default;

void RtfReader::read(const QByteArray& rtf, QTextDocument* document, RtfPageProps* page) {
    RtfReader reader;
    reader.start(rtf, document);
    reader.advance(std::numeric_limits<int>::max());
    if (page)
        *page = reader.page();
}

void RtfReader::start(const QByteArray& rtf, QTextDocument* document) {
    document->clear();
    m_page = RtfPageProps{};
    m_done = true;
    qsizetype start = 0;
    while (start < rtf.size() && static_cast<unsigned char>(rtf[start]) <= 32)
        ++start;
    if (rtf.mid(start, 5) != "{\\rtf") {
        document->setPlainText(QString::fromLatin1(rtf));
        return;
    }
    m_bytes = rtf.mid(start); // the tokenizer reads them in place
    m_tokens = std::make_unique<RtfTokenizer>(m_bytes);
    m_builder = std::make_unique<RtfDocumentBuilder>(document, &m_row);
    m_stack.clear();
    m_stack.push_back(State{});
    m_done = false;
}

bool RtfReader::advance(int tokens) {
    if (!m_builder)
        return true;
    for (int i = 0; i < tokens && !m_done; ++i) {
        const RtfTokenizer::Token t = m_tokens->next();
        if (t.type == RtfTokenizer::Type::End)
            m_done = true;
        else
            token(t);
    }
    if (!m_done)
        return false;
    flushSurrogate();
    m_builder->finish(state().chars, state().para);
    m_builder.reset();
    m_tokens.reset();
    m_bytes.clear();
    return true;
}

qreal RtfReader::done() const {
    if (!m_tokens || m_bytes.isEmpty())
        return 1.0;
    return qreal(m_tokens->position()) / qreal(m_bytes.size());
}

void RtfReader::token(const RtfTokenizer::Token& t) {
    const bool ignorable = m_ignorable;
    m_ignorable = false;
    switch (t.type) {
    case RtfTokenizer::Type::GroupStart:
        m_pendingSkip = 0;
        groupStart();
        break;
    case RtfTokenizer::Type::GroupEnd:
        m_pendingSkip = 0;
        groupEnd();
        break;
    case RtfTokenizer::Type::Word:
        if (ignorable && t.word == "ud" && state().inUpr) {
            state().dest = Dest::Text;
        } else if (ignorable && state().dest != Dest::Skip) {
            state().dest = Dest::Skip;
        } else {
            word(t);
        }
        break;
    case RtfTokenizer::Type::Symbol:
        symbol(t.symbol);
        break;
    case RtfTokenizer::Type::HexByte:
        text(QByteArray(1, t.symbol));
        break;
    case RtfTokenizer::Type::Text:
        text(t.text);
        break;
    case RtfTokenizer::Type::End:
        break;
    }
}

void RtfReader::groupStart() {
    if (int(m_stack.size()) >= kMaxDepth) {
        ++m_overflow;
        return;
    }
    State next = state();
    if (next.dest == Dest::Upr) {
        // The groups of \upr: the 8-bit alternative is skipped, its \ud group is read.
        next.dest = Dest::Skip;
        next.inUpr = true;
    }
    m_stack.push_back(next);
}

void RtfReader::groupEnd() {
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (state().dest == Dest::FontTable && m_fontNumber >= 0 && !m_fontName.trimmed().isEmpty())
        fontTableText(QStringLiteral(";"));
    if (m_stack.size() > 1)
        m_stack.pop_back();
    if (m_stack.size() <= 1)
        m_done = true; // the document group is closed
}

void RtfReader::word(const RtfTokenizer::Token& t) {
    const QByteArray& w = t.word;
    if (w == "bin") {
        m_tokens->skipBytes(t.hasParameter ? t.parameter : 0);
        return;
    }
    if (m_pendingSkip > 0) {
        --m_pendingSkip;
        return;
    }
    switch (state().dest) {
    case Dest::Skip:
    case Dest::Upr:
        return;
    case Dest::FontTable:
        fontTableWord(w, t);
        return;
    case Dest::ColourTable:
        colourTableWord(w, t);
        return;
    case Dest::Text:
        break;
    }
    if (destinationWord(w) || documentWord(w, t) || charWord(w, t) || paraWord(w, t) ||
        tableWord(w, t) || pageWord(m_page, w, t))
        return;
    specialWord(w);
}

bool RtfReader::destinationWord(const QByteArray& w) {
    if (w == "fonttbl") {
        state().dest = Dest::FontTable;
        m_fontNumber = -1;
        m_fontName.clear();
    } else if (w == "colortbl") {
        state().dest = Dest::ColourTable;
        m_red = m_green = m_blue = -1;
    } else if (w == "upr") {
        state().dest = Dest::Upr;
    } else if (skippedDestinations().contains(w)) {
        state().dest = Dest::Skip;
    } else {
        return false;
    }
    return true;
}

bool RtfReader::documentWord(const QByteArray& w, const RtfTokenizer::Token& t) {
    if (w == "ansicpg") {
        m_cp1252 = t.parameter == 1252;
    } else if (w == "deff") {
        m_defaultFont = t.parameter;
        if (m_stack.size() == 1 && state().chars.font < 0)
            state().chars.font = t.parameter;
    } else if (w == "uc") {
        state().unicodeSkip = std::clamp(t.parameter, 0, 16);
    } else if (w == "u") {
        // N is a signed 16-bit UTF-16 unit; -1 is 65535.
        if (t.parameter != 0 && t.parameter >= -32768 && t.parameter <= 65535)
            unicodeUnit(char16_t(t.parameter & 0xFFFF));
        m_pendingSkip = state().unicodeSkip;
    } else {
        return false;
    }
    return true;
}

// Paper and margins, from the document's or the section's words; lengths outside what a word
// processor accepts (22 inches) are left unset.
bool RtfReader::pageWord(RtfPageProps& page, const QByteArray& w, const RtfTokenizer::Token& t) {
    static const QHash<QByteArray, int RtfPageProps::*> lengths{
        {"paperw", &RtfPageProps::paperWidth},  {"pgwsxn", &RtfPageProps::paperWidth},
        {"paperh", &RtfPageProps::paperHeight}, {"pghsxn", &RtfPageProps::paperHeight},
        {"margl", &RtfPageProps::marginLeft},   {"marglsxn", &RtfPageProps::marginLeft},
        {"margr", &RtfPageProps::marginRight},  {"margrsxn", &RtfPageProps::marginRight},
        {"margt", &RtfPageProps::marginTop},    {"margtsxn", &RtfPageProps::marginTop},
        {"margb", &RtfPageProps::marginBottom}, {"margbsxn", &RtfPageProps::marginBottom}};
    if (w == "landscape" || w == "lndscpsxn") {
        page.landscape = true;
        return true;
    }
    const auto it = lengths.constFind(w);
    if (it == lengths.constEnd())
        return false;
    if (t.hasParameter && t.parameter > 0 && t.parameter <= 31680)
        page.*(*it) = t.parameter;
    return true;
}

RtfPageProps RtfReader::pageProps(const QByteArray& rtf) {
    RtfPageProps page;
    RtfTokenizer tokens(rtf);
    for (RtfTokenizer::Token t = tokens.next(); t.type != RtfTokenizer::Type::End;
         t = tokens.next()) {
        if (t.type != RtfTokenizer::Type::Word)
            continue;
        if (t.word == "pard")
            break;
        if (t.word == "bin")
            tokens.skipBytes(t.hasParameter ? t.parameter : 0);
        else
            pageWord(page, t.word, t);
    }
    return page;
}

RtfCharProps RtfReader::plainChars() const {
    RtfCharProps plain;
    plain.font = m_defaultFont;
    return plain;
}

bool RtfReader::charWord(const QByteArray& w, const RtfTokenizer::Token& t) {
    RtfCharProps& c = state().chars;
    const bool on = !t.hasParameter || t.parameter != 0;
    if (w == "plain")
        c = plainChars();
    else if (w == "b")
        c.bold = on;
    else if (w == "i")
        c.italic = on;
    else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulth" ||
             w == "ulwave" || w == "uldashd" || w == "uldashdd" || w == "ulhwave")
        c.underline = on;
    else if (w == "ulnone")
        c.underline = false;
    else if (w == "strike" || w == "striked")
        c.strike = on;
    else if (w == "v")
        c.hidden = on;
    else if (w == "caps")
        c.allCaps = on;
    else if (w == "scaps")
        c.smallCaps = on;
    else if (w == "super")
        c.vertical = 1;
    else if (w == "sub")
        c.vertical = -1;
    else if (w == "nosupersub")
        c.vertical = 0;
    else if (w == "fs")
        c.fontSize = t.hasParameter && t.parameter > 0 ? t.parameter : 24;
    else if (w == "f")
        c.font = t.parameter;
    else if (w == "cf")
        c.foreground = t.parameter;
    else if (w == "cb" || w == "highlight" || w == "chcbpat")
        c.background = t.parameter;
    else
        return false;
    return true;
}

bool RtfReader::paraWord(const QByteArray& w, const RtfTokenizer::Token& t) {
    RtfParaProps& p = state().para;
    if (w == "pard")
        p = RtfParaProps{};
    else if (w == "ql")
        p.alignment = Qt::AlignLeft;
    else if (w == "qc")
        p.alignment = Qt::AlignHCenter;
    else if (w == "qr")
        p.alignment = Qt::AlignRight;
    else if (w == "qj")
        p.alignment = Qt::AlignJustify;
    else if (w == "li" || w == "lin")
        p.leftIndent = t.parameter;
    else if (w == "ri" || w == "rin")
        p.rightIndent = t.parameter;
    else if (w == "fi")
        p.firstIndent = t.parameter;
    else if (w == "sb")
        p.spaceBefore = t.parameter;
    else if (w == "sa")
        p.spaceAfter = t.parameter;
    else if (w == "sl")
        p.lineSpacing = t.parameter;
    else if (w == "slmult")
        p.lineMultiple = t.parameter != 0;
    else if (w == "intbl")
        p.inTable = true;
    else if (w == "itap")
        p.inTable = t.parameter > 0;
    else if (w == "tqr")
        p.nextTabType = QTextOption::RightTab;
    else if (w == "tqc")
        p.nextTabType = QTextOption::CenterTab;
    else if (w == "tqdec")
        p.nextTabType = QTextOption::DelimiterTab;
    else if (w == "tx" || w == "tb") {
        if (p.tabs.size() < 64 && t.parameter > 0)
            p.tabs.append(QTextOption::Tab(rtfTwipsToPixels(t.parameter), p.nextTabType));
        p.nextTabType = QTextOption::LeftTab;
    } else
        return false;
    return true;
}

bool RtfReader::tableWord(const QByteArray& w, const RtfTokenizer::Token& t) {
    if (w == "trowd") {
        m_row = RtfRowProps{};
        m_rowFresh = true;
    } else if (w == "cellx") {
        if (m_row.cellRight.size() < RtfDocumentBuilder::kMaxColumns)
            m_row.cellRight.append(t.parameter);
    } else if (w == "trleft") {
        m_row.left = t.parameter;
    } else if (w == "trgaph") {
        m_row.gap = t.parameter;
    } else if (w.startsWith("clbrdr") || w.startsWith("trbrdr")) {
        m_row.borders = true;
    } else if (w == "trhdr") {
        m_row.header = true;
    } else if (w == "cell") {
        m_builder->endCell(state().chars, state().para);
    } else if (w == "row") {
        m_builder->endRow();
    } else if (w == "nestcell") {
        putText(QStringLiteral("\t"));
    } else if (w == "nestrow") {
        putText(QString(QChar::LineSeparator));
    } else {
        return false;
    }
    return true;
}

bool RtfReader::specialWord(const QByteArray& w) {
    static const QHash<QByteArray, char16_t> characters{
        {"tab", u'\t'},        {"line", 0x2028},    {"emdash", 0x2014},  {"endash", 0x2013},
        {"bullet", 0x2022},    {"lquote", 0x2018},  {"rquote", 0x2019},  {"ldblquote", 0x201C},
        {"rdblquote", 0x201D}, {"emspace", 0x2003}, {"enspace", 0x2002}, {"qmspace", 0x2005},
        {"zwj", 0x200D},       {"zwnj", 0x200C},    {"lbr", 0x2028}};
    if (w == "par" || w == "sect" || w == "page" || w == "column") {
        m_builder->endParagraph(state().chars, state().para);
        return true;
    }
    const auto it = characters.constFind(w);
    if (it == characters.constEnd())
        return false; // unknown control words are ignored
    putText(QString(QChar(*it)));
    return true;
}

void RtfReader::symbol(char c) {
    if (c == '*') {
        m_ignorable = true;
        return;
    }
    if (m_pendingSkip > 0) {
        --m_pendingSkip;
        return;
    }
    if (c == '\\' || c == '{' || c == '}') {
        text(QByteArray(1, c));
        return;
    }
    if (state().dest != Dest::Text)
        return;
    switch (c) {
    case '~':
        putText(QString(QChar(0x00A0)));
        break;
    case '_':
        putText(QString(QChar(0x2011)));
        break;
    case '\n':
        m_builder->endParagraph(state().chars, state().para);
        break;
    case '\t':
        putText(QStringLiteral("\t"));
        break;
    default:
        break; // \- (optional hyphen), \: and the like show nothing
    }
}

void RtfReader::text(const QByteArray& bytes) {
    qsizetype from = 0;
    if (m_pendingSkip > 0) {
        from = std::min<qsizetype>(m_pendingSkip, bytes.size());
        m_pendingSkip -= int(from);
    }
    if (from >= bytes.size())
        return;
    QString decoded;
    decoded.reserve(bytes.size() - from);
    for (qsizetype i = from; i < bytes.size(); ++i)
        decoded += decode(static_cast<unsigned char>(bytes[i]));
    switch (state().dest) {
    case Dest::Text:
        putText(decoded);
        break;
    case Dest::FontTable:
        fontTableText(decoded);
        break;
    case Dest::ColourTable:
        colourTableText(bytes.mid(from));
        break;
    default:
        break;
    }
}

// A character beyond 16 bits comes as two \uN, high then low surrogate; a half pair shows as
// the replacement character rather than as a broken string.
void RtfReader::unicodeUnit(char16_t unit) {
    if (QChar::isHighSurrogate(unit)) {
        flushSurrogate();
        m_highSurrogate = unit;
        return;
    }
    if (QChar::isLowSurrogate(unit) && m_highSurrogate) {
        const QChar pair[2] = {QChar(m_highSurrogate), QChar(unit)};
        m_highSurrogate = 0;
        putText(QString(pair, 2));
        return;
    }
    putText(
        QString(QChar(QChar::isLowSurrogate(unit) ? char16_t(QChar::ReplacementCharacter) : unit)));
}

void RtfReader::flushSurrogate() {
    if (!m_highSurrogate)
        return;
    m_highSurrogate = 0;
    putText(QString(QChar(QChar::ReplacementCharacter)));
}

void RtfReader::putText(const QString& text) {
    flushSurrogate();
    if (state().dest != Dest::Text)
        return;
    QString clean = text;
    for (QChar& ch : clean) {
        if (ch.unicode() < 32 && ch != u'\t')
            ch = u' ';
    }
    m_builder->addText(clean, state().chars, state().para);
}

QChar RtfReader::decode(unsigned char byte) const {
    if (m_cp1252 && byte >= 0x80 && byte <= 0x9F && kCp1252High[byte - 0x80] != 0)
        return QChar(kCp1252High[byte - 0x80]);
    return QChar(char16_t(byte));
}

void RtfReader::fontTableWord(const QByteArray& w, const RtfTokenizer::Token& t) {
    if (w == "f") {
        m_fontNumber = t.parameter;
        m_fontName.clear();
        m_fontHint = QFont::AnyStyle;
    } else if (w == "froman") {
        m_fontHint = QFont::Serif;
    } else if (w == "fswiss") {
        m_fontHint = QFont::SansSerif;
    } else if (w == "fmodern") {
        m_fontHint = QFont::Monospace;
    } else if (w == "fscript") {
        m_fontHint = QFont::Cursive;
    } else if (w == "fdecor") {
        m_fontHint = QFont::Decorative;
    } else if (skippedDestinations().contains(w)) {
        state().dest = Dest::Skip;
    }
}

void RtfReader::fontTableText(const QString& text) {
    for (QChar c : text) {
        if (c != u';') {
            if (m_fontName.size() < 256)
                m_fontName += c;
            continue;
        }
        if (m_fontNumber >= 0 && m_builder->fonts().size() < 4096) {
            m_builder->fonts().insert(m_fontNumber,
                                      {m_fontName.trimmed(), QFont::StyleHint(m_fontHint)});
        }
        m_fontName.clear();
    }
}

void RtfReader::colourTableWord(const QByteArray& w, const RtfTokenizer::Token& t) {
    const int value = std::clamp(t.parameter, 0, 255);
    if (w == "red")
        m_red = value;
    else if (w == "green")
        m_green = value;
    else if (w == "blue")
        m_blue = value;
}

void RtfReader::colourTableText(const QByteArray& bytes) {
    for (char c : bytes) {
        if (c != ';' || m_builder->colours().size() >= 4096)
            continue;
        const bool automatic = m_red < 0 && m_green < 0 && m_blue < 0;
        m_builder->colours().append(
            automatic ? QColor()
                      : QColor(std::max(m_red, 0), std::max(m_green, 0), std::max(m_blue, 0)));
        m_red = m_green = m_blue = -1;
    }
}
