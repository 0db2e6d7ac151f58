#include "app/SettingsStore.h"

#include "app/Helpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamReader>

#include <algorithm>
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
    const int value = text.trimmed().toInt(&ok, 10);
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

void appendEncodedValue(QByteArray& out, const QString& text) {
    static const char hex[] = "0123456789ABCDEF";
    for (char ch : toLatin1Safe(text)) {
        const auto byte = static_cast<unsigned char>(ch);
        switch (byte) {
        case '"':
            out += "&quot;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\t':
        case '\n':
        case '\r':
            out += ch;
            break;
        default:
            if (byte >= 0x80) {
                out += "&#x";
                out += hex[byte >> 4];
                out += hex[byte & 0x0F];
                out += ';';
            } else if (byte < 0x20) {
                // Other control characters cannot appear in an XML file at all; writing them would
                // make the whole file unreadable.
                out += '?';
            } else {
                out += ch;
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

// Rewrites a reference at `at` (an '&') so that the XML reader accepts the named references in any
// case and "&#X" as well as "&#x". Answers the position after the reference.
qsizetype appendReference(QString& out, const QString& in, qsizetype at) {
    const qsizetype semicolon = in.indexOf(u';', at + 1);
    if (semicolon < 0 || semicolon - at > 12) {
        out += in.at(at);
        return at + 1;
    }
    const QString name = in.mid(at + 1, semicolon - at - 1);
    const QString lower = name.toLower();
    if (std::find(std::begin(NamedReferences), std::end(NamedReferences), lower) !=
        std::end(NamedReferences)) {
        out += u'&' + lower + u';';
    } else if (name.startsWith(QStringLiteral("#X"))) {
        out += QStringLiteral("&#x") + name.mid(2) + u';';
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
    ensurePath(names)->text = text;
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
    // A hand-edited count cannot make the list longer than the element's children.
    const qsizetype count = std::min<qsizetype>(countNode ? textToInteger(countNode->text) : 0,
                                                qsizetype(element->children.size()));
    const QString item = cleanName(itemName);
    for (qsizetype i = 0; i < count; ++i) {
        const Node* itemNode = element->find(item + QString::number(i));
        list.append(itemNode ? itemNode->text : QString());
    }
}

void SettingsStore::WriteList(const QString& key, const QStringList& list,
                              const QString& itemName) {
    const QStringList names = keyNames(key);
    if (writesIgnored() || names.isEmpty())
        return;
    Node* element = ensurePath(names);
    const QString item = cleanName(itemName);
    element->findOrAdd(QStringLiteral("Count"))->text = QString::number(list.size());
    for (qsizetype i = 0; i < list.size(); ++i)
        element->findOrAdd(item + QString::number(i))->text = list[i];

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

QByteArray SettingsStore::toXml() const {
    QByteArray out = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\r\n";
    appendNode(out, *root_, 0);
    return out;
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
    QSaveFile file(fileName_);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
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
    std::unique_ptr<Node> root = parseDocument(file.readAll(), &error);
    file.close();
    if (root)
        root_ = std::move(root);
    else
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
    const QString badName = fileName_ + QStringLiteral(".bad");
    QFile::remove(badName);
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
