#include "app/SettingsStore.h"

#include "app/Helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

struct SettingsStore::Node {
    QString name;
    QString text;
    std::vector<std::unique_ptr<Node>> children;

    // The first child whose name matches ignoring case.
    Node* find(const QString& childName) const {
        for (const auto& child : children) {
            if (child->name.compare(childName, Qt::CaseInsensitive) == 0)
                return child.get();
        }
        return nullptr;
    }

    Node* add(const QString& childName) {
        children.push_back(std::make_unique<Node>());
        children.back()->name = childName;
        return children.back().get();
    }

    Node* findOrAdd(const QString& childName) {
        Node* child = find(childName);
        return child ? child : add(childName);
    }

    // The children by lower-case name, the first of each name; for lookups of many names in one
    // element (lists), where find() for each would take time growing with the square of the count.
    // Look up ASCII names only (list items are): for them this matches find()'s comparison.
    QHash<QString, Node*> childrenByName() const {
        QHash<QString, Node*> byName;
        byName.reserve(qsizetype(children.size()));
        for (const auto& child : children) {
            const QString key = child->name.toLower();
            if (!byName.contains(key))
                byName.insert(key, child.get());
        }
        return byName;
    }

    // Whitespace between child elements is layout, not a value.
    void dropContainerText() {
        if (!children.empty())
            text.clear();
        for (const auto& child : children)
            child->dropContainerText();
    }
};

namespace {

const QString TrueWords[] = {QStringLiteral("TRUE"), QStringLiteral("YES"), QStringLiteral("Y")};
const QString FalseWords[] = {QStringLiteral("FALSE"), QStringLiteral("NO"), QStringLiteral("N")};
const QString NamedReferences[] = {QStringLiteral("amp"), QStringLiteral("lt"),
                                   QStringLiteral("gt"), QStringLiteral("quot"),
                                   QStringLiteral("apos")};

bool isNameChar(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
           c == u'-' || c == u'.' || c == u':' || c == u'_';
}

// An element name from one part of a key: every character that may not appear in a name becomes
// '_', and a name that would start with a digit, '-' or '.' (not allowed in XML) gets a leading
// '_'.
QString cleanName(const QString& part) {
    QString name = part;
    for (QChar& c : name) {
        if (!isNameChar(c))
            c = SettingsStore::InvalidCharReplacement.at(0);
    }
    const QChar first = name.at(0);
    if ((first >= u'0' && first <= u'9') || first == u'-' || first == u'.')
        name.prepend(SettingsStore::InvalidCharReplacement);
    return name;
}

// A decimal integer, optionally signed, with blanks allowed around it; anything else reads as -1.
int textToInteger(const QString& text) {
    bool ok = false;
    const int value = TrimBlanks(text).toInt(&ok, 10);
    return ok ? value : -1;
}

bool textToFlag(const QString& text) {
    const QString upper = text.toUpper();
    if (std::find(std::begin(TrueWords), std::end(TrueWords), upper) != std::end(TrueWords))
        return true;
    if (std::find(std::begin(FalseWords), std::end(FalseWords), upper) != std::end(FalseWords))
        return false;
    return textToInteger(text) != 0;
}

void appendHexReference(QByteArray& out, char32_t code, int minDigits) {
    out += "&#x";
    out += QByteArray::number(uint(code), 16).toUpper().rightJustified(minDigits, '0');
    out += ';';
}

// Whether a single UTF-16 unit may stand in a value (a surrogate only as half of a pair).
bool storableUnit(char16_t c) {
    if (c == u'\t' || c == u'\n' || c == u'\r')
        return true;
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        return false; // control characters
    return !QChar::isSurrogate(c) && c != 0xFFFE && c != 0xFFFF;
}

// Value text: the five named references; tab and line breaks as they are; Latin-1 letters as
// their bytes in the iso-8859-1 file; characters beyond Latin-1 as numeric character references
// (at least four digits, one reference per character beyond 16 bits). What storableText drops is
// not written.
void appendEncodedValue(QByteArray& out, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        switch (c) {
        case u'"':
            out += "&quot;";
            break;
        case u'&':
            out += "&amp;";
            break;
        case u'\'':
            out += "&apos;";
            break;
        case u'<':
            out += "&lt;";
            break;
        case u'>':
            out += "&gt;";
            break;
        case u'\t':
        case u'\n':
        case u'\r':
            out += char(c);
            break;
        default:
            if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                text.at(i + 1).isLowSurrogate()) {
                appendHexReference(out, QChar::surrogateToUcs4(c, text.at(i + 1).unicode()), 4);
                ++i;
            } else if (!storableUnit(c)) {
                continue;
            } else if (c <= 0xFF) {
                out += char(c);
            } else {
                appendHexReference(out, c, 4);
            }
        }
    }
}

void appendNode(QByteArray& out, const SettingsStore::Node& node, int depth) {
    const QByteArray indent(depth * 2, ' ');
    const QByteArray name = toLatin1Safe(node.name);
    if (!node.children.empty()) {
        out += indent + '<' + name + ">\r\n";
        for (const auto& child : node.children)
            appendNode(out, *child, depth + 1);
        out += indent + "</" + name + ">\r\n";
    } else if (node.text.isEmpty()) {
        out += indent + '<' + name + "/>\r\n";
    } else {
        out += indent + '<' + name + '>';
        appendEncodedValue(out, node.text);
        out += "</" + name + ">\r\n";
    }
}

// The XML reader refuses references to characters that XML does not allow (control characters,
// lone surrogates, U+FFFE and U+FFFF), yet the store writes them so that no value is changed.
// Such a reference goes to the reader as a pair of private-use characters, Escape followed by
// EscapedBase + the code's index among the refused ones, and a reference to Escape itself as
// Escape twice; the raw input, read as Latin-1, can hold neither. restoreEscapes() turns the
// pairs back after reading.
constexpr char16_t Escape = 0xE000;
constexpr char16_t EscapedBase = 0xE100;
constexpr char16_t SurrogateIndex = 0x20;            // 0x00-0x1F are the control characters
constexpr char16_t NonCharacterIndex = 0x20 + 0x800; // then the 2048 surrogates

bool allowedInXml(uint code) {
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// The value of a numeric reference's name ("#65", "#x41", "#X41"), or -1.
qint64 numericReference(const QString& name) {
    if (!name.startsWith(u'#') || name.size() < 2)
        return -1;
    const bool hex = name.at(1) == u'x' || name.at(1) == u'X';
    const QString digits = name.mid(hex ? 2 : 1);
    bool ok = false;
    const qint64 value = digits.toLongLong(&ok, hex ? 16 : 10);
    return ok && !digits.startsWith(u'+') && !digits.startsWith(u'-') ? value : -1;
}

// The refused code <-> its index below EscapedBase.
char16_t refusedIndex(char16_t code) {
    if (code < 0x20)
        return code;
    if (code >= 0xD800 && code <= 0xDFFF)
        return SurrogateIndex + (code - 0xD800);
    return NonCharacterIndex + (code - 0xFFFE);
}

char16_t refusedCode(char16_t index) {
    if (index < SurrogateIndex)
        return index;
    if (index < NonCharacterIndex)
        return 0xD800 + (index - SurrogateIndex);
    return 0xFFFE + (index - NonCharacterIndex);
}

QString restoreEscapes(const QString& text) {
    if (!text.contains(QChar(Escape)))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).unicode() == Escape && i + 1 < text.size()) {
            const char16_t next = text.at(++i).unicode();
            out += QChar(next == Escape ? Escape : refusedCode(char16_t(next - EscapedBase)));
        } else {
            out += text.at(i);
        }
    }
    return out;
}

// Rewrites a reference at `at` (an '&') so that the XML reader accepts the named references in any
// case, "&#X" as well as "&#x", and the characters it would refuse (see Escape). Answers the
// position after the reference.
qsizetype appendReference(QString& out, const QString& in, qsizetype at) {
    // Only the next few characters are searched: a long text of '&'s must not be read once per
    // '&'.
    const qsizetype found = QStringView(in).mid(at + 1, 12).indexOf(u';');
    if (found < 0) {
        out += in.at(at);
        return at + 1;
    }
    const qsizetype semicolon = at + 1 + found;
    const QString name = in.mid(at + 1, semicolon - at - 1);
    const QString lower = name.toLower();
    const qint64 code = numericReference(name);
    if (std::find(std::begin(NamedReferences), std::end(NamedReferences), lower) !=
        std::end(NamedReferences)) {
        out += u'&' + lower + u';';
    } else if (code == Escape) {
        out += QChar(Escape);
        out += QChar(Escape);
    } else if (code >= 0 && code <= 0xFFFF && !allowedInXml(uint(code))) {
        out += QChar(Escape);
        out += QChar(char16_t(EscapedBase + refusedIndex(char16_t(code))));
    } else if (code >= 0) {
        out += QStringLiteral("&#x") + QString::number(code, 16) + u';';
    } else {
        out += u'&' + name + u';';
    }
    return semicolon + 1;
}

// Copies one piece of markup starting at `at` (a '<'), keeping track of the element depth.
qsizetype appendMarkup(QString& out, const QString& in, qsizetype at, int& depth) {
    const QStringView rest = QStringView(in).mid(at);
    auto copyThrough = [&](QStringView terminator) {
        const qsizetype end = in.indexOf(terminator, at);
        const qsizetype next = end < 0 ? in.size() : end + terminator.size();
        out += QStringView(in).mid(at, next - at);
        return next;
    };
    if (rest.startsWith(u"<!--"))
        return copyThrough(u"-->");
    if (rest.startsWith(u"<![CDATA["))
        return copyThrough(u"]]>");
    if (rest.startsWith(u"<?"))
        return copyThrough(u"?>");

    // A tag or a declaration: up to the first '>' outside quotes (and brackets, for DOCTYPE).
    QChar quote;
    int brackets = 0;
    qsizetype i = at + 1;
    for (; i < in.size(); ++i) {
        const QChar c = in.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'[') {
            ++brackets;
        } else if (c == u']') {
            --brackets;
        } else if (c == u'>' && brackets <= 0) {
            break;
        }
    }
    const qsizetype next = std::min(i + 1, in.size());
    const QStringView tag = QStringView(in).mid(at, next - at);
    if (tag.startsWith(u"</"))
        --depth;
    else if (!tag.startsWith(u"<!") && !tag.endsWith(u"/>"))
        ++depth;
    out += tag;
    return next;
}

// The XML reader folds CR LF in text into LF, but values keep their CR LF line breaks. Raw CRs in
// element content are therefore passed on as character references, which the reader keeps.
QString prepareForReader(const QString& in) {
    QString out;
    out.reserve(in.size() + in.size() / 16);
    int depth = 0;
    qsizetype i = 0;
    while (i < in.size()) {
        const QChar c = in.at(i);
        if (c == u'<') {
            i = appendMarkup(out, in, i, depth);
        } else if (depth > 0 && c == u'\r') {
            out += QStringLiteral("&#xD;");
            ++i;
        } else if (depth > 0 && c == u'&') {
            i = appendReference(out, in, i);
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

std::unique_ptr<SettingsStore::Node> parseDocument(const QByteArray& bytes, QString* error) {
    using Node = SettingsStore::Node;
    QXmlStreamReader reader(prepareForReader(QString::fromLatin1(bytes)));
    reader.setNamespaceProcessing(false);
    std::unique_ptr<Node> root;
    std::vector<Node*> open;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (open.size() >= SettingsStore::MaxDepth) {
                *error = QStringLiteral("elements nested deeper than %1 levels (line %2)")
                             .arg(SettingsStore::MaxDepth)
                             .arg(reader.lineNumber());
                return nullptr;
            }
            if (open.empty()) {
                root = std::make_unique<Node>();
                root->name = reader.qualifiedName().toString();
                open.push_back(root.get());
            } else {
                open.push_back(open.back()->add(reader.qualifiedName().toString()));
            }
            break;
        case QXmlStreamReader::Characters:
            if (!open.empty())
                open.back()->text += reader.text();
            break;
        case QXmlStreamReader::EndElement:
            // Older files hold control characters as references: read, then left out.
            open.back()->text = SettingsStore::storableText(restoreEscapes(open.back()->text));
            open.pop_back();
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        *error = QStringLiteral("%1 (line %2, column %3)")
                     .arg(reader.errorString())
                     .arg(reader.lineNumber())
                     .arg(reader.columnNumber());
        return nullptr;
    }
    if (!root) {
        *error = QStringLiteral("no root element");
        return nullptr;
    }
    root->dropContainerText();
    return root;
}

// Read-only on disk: no write permission for this user, or no write bit at all (which matters for
// root, whom permission bits never stop).
bool isReadOnlyOnDisk(const QString& fileName) {
    const QFileInfo info(fileName);
    if (!info.exists())
        return false;
    const auto writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !(info.permissions() & writeBits) || !info.isWritable();
}

std::unique_ptr<SettingsStore::Node> emptyTree() {
    auto root = std::make_unique<SettingsStore::Node>();
    root->name = SettingsStore::RootNodeName;
    return root;
}

} // namespace

SettingsStore::SettingsStore(const QString& fileName) : fileName_(fileName), root_(emptyTree()) {
    load();
}

SettingsStore::~SettingsStore() {
    if (flushOnDestroy_)
        Flush();
}

QStringList SettingsStore::keyNames(const QString& key) {
    QStringList names = key.split(u'\\', Qt::SkipEmptyParts);
    for (QString& name : names)
        name = cleanName(name);
    return names;
}

const SettingsStore::Node* SettingsStore::findValue(const QString& key, bool* found) const {
    const QStringList names = keyNames(key);
    const Node* node = names.isEmpty() ? nullptr : root_.get();
    for (qsizetype i = 0; node && i < names.size(); ++i)
        node = node->find(names[i]);
    *found = node != nullptr;
    return node;
}

SettingsStore::Node* SettingsStore::ensurePath(const QStringList& names) {
    if (names.size() >= MaxDepth)
        return nullptr; // the file could not be read back
    Node* node = root_.get();
    for (const QString& name : names)
        node = node->findOrAdd(name);
    return node;
}

bool SettingsStore::writesIgnored() const {
    return readOnly_ || fileReadOnly_;
}

QString SettingsStore::ReadText(const QString& key, const QString& defaultText) const {
    bool found = false;
    const Node* node = findValue(key, &found);
    return found ? node->text : defaultText;
}

void SettingsStore::WriteText(const QString& key, const QString& text) {
    const QStringList names = keyNames(key);
    if (writesIgnored() || names.isEmpty())
        return;
    if (Node* node = ensurePath(names))
        node->text = storableText(text);
}

int SettingsStore::ReadNumber(const QString& key, int defaultValue) const {
    bool found = false;
    const Node* node = findValue(key, &found);
    return found ? textToInteger(node->text) : defaultValue;
}

void SettingsStore::WriteNumber(const QString& key, int value) {
    WriteText(key, QString::number(value));
}

bool SettingsStore::ReadFlag(const QString& key, bool defaultValue) const {
    bool found = false;
    const Node* node = findValue(key, &found);
    return found ? textToFlag(node->text) : defaultValue;
}

void SettingsStore::WriteFlag(const QString& key, bool value) {
    WriteText(key, value ? TrueWords[0] : FalseWords[0]);
}

void SettingsStore::ReadList(const QString& key, QStringList& list, const QString& itemName) const {
    bool found = false;
    const Node* element = findValue(key, &found);
    if (!found)
        return;
    list.clear();
    const Node* countNode = element->find(QStringLiteral("Count"));
    // Missing items read as empty texts; a hand-edited count cannot make the list huge.
    const qsizetype count =
        std::min<qsizetype>(countNode ? textToInteger(countNode->text) : 0, MaxListItems);
    const QString item = cleanName(itemName).toLower();
    const QHash<QString, Node*> items = element->childrenByName();
    for (qsizetype i = 0; i < count; ++i) {
        const Node* itemNode = items.value(item + QString::number(i));
        list.append(itemNode ? itemNode->text : QString());
    }
}

void SettingsStore::WriteList(const QString& key, const QStringList& list,
                              const QString& itemName) {
    const QStringList names = keyNames(key);
    if (writesIgnored() || names.size() + 1 >= MaxDepth)
        return;
    Node* element = ensurePath(names);
    if (!element)
        return;
    const QString item = cleanName(itemName);
    element->findOrAdd(QStringLiteral("Count"))->text = QString::number(list.size());
    const QHash<QString, Node*> existing = element->childrenByName();
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString name = item + QString::number(i);
        Node* itemNode = existing.value(name.toLower());
        (itemNode ? itemNode : element->add(name))->text = storableText(list[i]);
    }

    // Remove every item beyond the new count, so that no stale item remains.
    auto stale = [&](const std::unique_ptr<Node>& child) {
        if (!child->name.startsWith(item, Qt::CaseInsensitive))
            return false;
        bool isNumber = false;
        const QString digits = child->name.mid(item.size());
        const qsizetype index = digits.toLongLong(&isNumber);
        return isNumber && QString::number(index) == digits && index >= list.size();
    };
    std::erase_if(element->children, stale);
}

QString SettingsStore::storableText(const QString& text) {
    const auto dropped = [&](qsizetype i) {
        const char16_t c = text.at(i).unicode();
        if (QChar::isHighSurrogate(c))
            return i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate();
        if (QChar::isLowSurrogate(c))
            return i == 0 || !text.at(i - 1).isHighSurrogate();
        return !storableUnit(c);
    };
    qsizetype i = 0;
    while (i < text.size() && !dropped(i))
        ++i;
    if (i == text.size())
        return text;
    QString out = text.left(i);
    for (; i < text.size(); ++i)
        if (!dropped(i))
            out += text.at(i);
    return out;
}

QByteArray SettingsStore::toXml() const {
    QByteArray out = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";
    appendNode(out, *root_, 0);
    return out;
}

bool SettingsStore::fromXml(const QByteArray& bytes, QString* error) {
    QString reason;
    std::unique_ptr<Node> root = parseDocument(bytes, &reason);
    if (!root) {
        if (error)
            *error = reason;
        return false;
    }
    root_ = std::move(root);
    return true;
}

bool SettingsStore::sameTree(const SettingsStore& other) const {
    // Walked with a list of pending pairs rather than recursion: trees from files can be deep.
    std::vector<std::pair<const Node*, const Node*>> pending{{root_.get(), other.root_.get()}};
    while (!pending.empty()) {
        const auto [a, b] = pending.back();
        pending.pop_back();
        if (a->name != b->name || a->text != b->text || a->children.size() != b->children.size())
            return false;
        for (size_t i = 0; i < a->children.size(); ++i)
            pending.emplace_back(a->children[i].get(), b->children[i].get());
    }
    return true;
}

bool SettingsStore::Flush() {
    if (writesIgnored() || saveBlocked_ || fileName_.isEmpty())
        return false;
    // The file may have been made read-only while the program ran; a rename would replace it
    // anyway.
    if (isReadOnlyOnDisk(fileName_)) {
        fileReadOnly_ = true;
        return false;
    }
    const QFileInfo info(fileName_);
    if (!QDir().mkpath(info.absolutePath()))
        return false;
    // Only ever through a new file renamed over the old one: when the folder takes no new file,
    // the old file stays as it is rather than being cut and rewritten in place.
    QSaveFile file(fileName_);
    if (!file.open(QIODevice::WriteOnly)) {
        if (!saveFailureTold_) {
            saveFailureTold_ = true;
            std::fprintf(stderr,
                         "tessaro-kavelin: settings not saved: %s cannot be replaced (%s); the "
                         "file is left as it is\n",
                         qPrintable(fileName_), qPrintable(file.errorString()));
        }
        return false;
    }
    // The user's alone, also when an earlier file was readable by others.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = toXml();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void SettingsStore::Reload() {
    load();
}

void SettingsStore::load() {
    root_ = emptyTree();
    loadWarning_.clear();
    saveBlocked_ = false;
    fileReadOnly_ = !fileName_.isEmpty() && isReadOnlyOnDisk(fileName_);
    if (fileName_.isEmpty() || !QFileInfo::exists(fileName_))
        return;

    QFile file(fileName_);
    if (!file.open(QIODevice::ReadOnly)) {
        // Saving over a file that could not be read would destroy it.
        saveBlocked_ = true;
        loadWarning_ = QStringLiteral("Settings file %1 cannot be read (%2); defaults are used and "
                                      "nothing will be saved")
                           .arg(fileName_, file.errorString());
        return;
    }
    QString error;
    const bool read = fromXml(file.readAll(), &error);
    file.close();
    if (!read)
        setAsideDamagedFile(error);
}

void SettingsStore::setAsideDamagedFile(const QString& reason) {
    if (fileReadOnly_) {
        loadWarning_ =
            QStringLiteral("Settings file %1 is damaged (%2) and read-only; defaults are "
                           "used")
                .arg(fileName_, reason);
        return;
    }
    // Earlier damaged files are kept: settings.xml.bad, settings.xml.bad.2, ...
    QString badName = fileName_ + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(badName) || QFileInfo(badName).isSymLink(); ++n)
        badName = fileName_ + QStringLiteral(".bad.%1").arg(n);
    if (QFile::rename(fileName_, badName) || QFile::copy(fileName_, badName)) {
        loadWarning_ =
            QStringLiteral("Settings file %1 is damaged (%2); kept as %3, defaults are used")
                .arg(fileName_, reason, badName);
        return;
    }
    saveBlocked_ = true;
    loadWarning_ = QStringLiteral("Settings file %1 is damaged (%2) and could not be set aside; "
                                  "defaults are used and nothing will be saved")
                       .arg(fileName_, reason);
}
