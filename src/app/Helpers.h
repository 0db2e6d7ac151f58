#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <type_traits>

// Small text helpers shared by every window. Texts are Unicode; a "blank" is any character with
// code 32 or less. Wire formats that others read stay Latin-1 bytes (toLatin1Safe).

// True when the text, blanks removed at both ends, is not empty.
bool HasText(const QString& text);

// The text without the blanks at both ends (characters with code 32 or less; other spaces
// such as U+00A0 are kept). The one way "without leading and trailing blanks" is done.
QString TrimBlanks(const QString& text);

// `value` when HasText(tested), else `fallback`.
QString IfHasText(const QString& tested, const QString& value, const QString& fallback);

// True when the text is not empty and every character is one of '0'..'9'.
bool IsDigitsOnly(const QString& text);

// Case conversion of ASCII letters by mode letter: 'U' upper, 'L' lower, 'C' capitalise words.
// Any other mode returns the text unchanged.
QString ConvertCase(const QString& text, char mode);

// `first` when the flag is set, else `second`.
template <typename T> T Choose(bool flag, T first, std::type_identity_t<T> second) {
    return flag ? first : second;
}

// Splits at every exact occurrence of the separator; empty items are kept only with keepEmpty.
QStringList SplitText(const QString& text, const QString& separator, bool keepEmpty);

// The part after the first occurrence of the marker (ignoring case), or an empty text.
QString TextAfter(const QString& marker, const QString& text);

// The part before the first occurrence of the marker (ignoring case), or the whole text.
QString TextBefore(const QString& marker, const QString& text);

// Prefixes fill characters up to the width; longer texts are returned unchanged.
QString PadLeft(const QString& text, int width, QChar fill);

// The text without the trailing copies of the character.
QString TrimTrailingChar(const QString& text, QChar character);

// Form-style encoding of a query value over its Latin-1 bytes (toLatin1Safe).
QString UrlEncode(const QString& text);

// Whether the file's MD5 digest equals the expected hexadecimal text, ignoring case. A missing
// file answers false; a file that exists but cannot be opened throws std::runtime_error.
bool FileMatchesMd5(const QString& fileName, const QString& expectedDigest);

// The one way a text becomes the Latin-1 bytes of a wire format (service and plug-in requests,
// UrlEncode): each character outside Latin-1 (a surrogate pair counts as one) becomes '?'.
// Never used for the user's own stored text.
QByteArray toLatin1Safe(const QString& text);

// The same replacement as toLatin1Safe, keeping the result a QString.
QString latin1Safe(const QString& text);

// The first `count` characters of a text: a character beyond 16 bits (a surrogate pair) counts
// as one and is never split. Column sizes count characters this way.
QString LeftCharacters(const QString& text, qsizetype count);

// Upper case exactly as the database's UPPER makes it: every character mapped on its own to its
// capital (simple case mapping), so 'ß' stays 'ß' and the text keeps its length. Searches and
// highlighting use it so that they agree with the WRD column the database fills.
QString DatabaseUpper(const QString& text);

// Lower case through the Latin-1 mapping ('A'-'Z' and the accented capitals 0xC0-0xDE but 0xD7).
QString latin1Lower(const QString& text);

// A text as an SQL string literal: in single quotes, every single quote doubled. The only way user
// text is put into a statement.
QString QuoteSql(const QString& text);
