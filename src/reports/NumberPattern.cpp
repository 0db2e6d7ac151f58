#include "reports/NumberPattern.h"

#include <QStringList>
#include <cmath>

struct NumberPattern::Section {
    // Tokens: 'i' integer placeholder, 'f' fraction placeholder, '.' decimal point, 'E' exponent,
    // 'L' literal text.
    struct Token {
        char type;
        QChar placeholder; // '0' or '#'
        QString text;      // literal text, or the exponent's sign mode ("+" or "-")
        int expDigits = 0;
    };
    QList<Token> tokens;
    int intCount = 0;
    int firstIntZero = -1; // index among integer placeholders of the first '0'
    int fracCount = 0;
    int lastFracZero = -1; // index among fraction placeholders of the last '0'
    bool thousands = false;
    bool scientific = false;
};

namespace {

QStringList splitSections(const QString& pattern) {
    QStringList sections;
    QString current;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            sections << current;
            current.clear();
            continue;
        }
        current += c;
    }
    sections << current;
    return sections;
}

} // namespace

NumberPattern::Section NumberPattern::parse(const QString& text) {
    Section s;
    bool inFraction = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'0' || c == u'#') {
            if (s.scientific)
                continue;
            if (inFraction) {
                if (c == u'0')
                    s.lastFracZero = s.fracCount;
                ++s.fracCount;
                s.tokens.append({'f', c, {}});
            } else {
                if (c == u'0' && s.firstIntZero < 0)
                    s.firstIntZero = s.intCount;
                ++s.intCount;
                s.tokens.append({'i', c, {}});
            }
        } else if (c == u'.' && !inFraction && !s.scientific) {
            inFraction = true;
            s.tokens.append({'.', {}, {}});
        } else if (c == u',') {
            s.thousands = true;
        } else if ((c == u'E' || c == u'e') && i + 1 < text.size() &&
                   (text[i + 1] == u'+' || text[i + 1] == u'-') && !s.scientific) {
            Section::Token t{'E', {}, QString(text[i + 1])};
            i += 2;
            while (i < text.size() && text[i] == u'0') {
                ++t.expDigits;
                ++i;
            }
            --i;
            s.scientific = true;
            s.tokens.append(t);
        } else if (c == u'"' || c == u'\'') {
            const qsizetype end = text.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? text.size() : end;
            s.tokens.append({'L', {}, text.mid(i + 1, stop - i - 1)});
            i = stop;
        } else {
            s.tokens.append({'L', {}, QString(c)});
        }
    }
    return s;
}

QString NumberPattern::render(double magnitude, const Section& s, const QLocale& locale) {
    int exponent = 0;
    if (s.scientific && magnitude != 0.0) {
        exponent = int(std::floor(std::log10(magnitude))) - (std::max(s.intCount, 1) - 1);
        double mantissa = magnitude / std::pow(10.0, exponent);
        // Rounding can carry into one more integer digit (9.999 -> 10.00).
        const double rounded = QString::number(mantissa, 'f', s.fracCount).toDouble();
        if (rounded >= std::pow(10.0, std::max(s.intCount, 1)))
            ++exponent;
        magnitude = magnitude / std::pow(10.0, exponent);
    }
    const QString fixed = QString::number(magnitude, 'f', s.fracCount);
    const qsizetype dot = fixed.indexOf(u'.');
    QString intDigits = dot < 0 ? fixed : fixed.left(dot);
    QString fracDigits = dot < 0 ? QString() : fixed.mid(dot + 1);
    if (intDigits == u"0")
        intDigits.clear();
    const int minInt = s.firstIntZero < 0 ? 0 : s.intCount - s.firstIntZero;
    while (intDigits.size() < minInt)
        intDigits.prepend(u'0');
    while (fracDigits.size() > s.lastFracZero + 1 && fracDigits.endsWith(u'0'))
        fracDigits.chop(1);
    const bool thousands = s.thousands && !s.scientific;

    QString out;
    const int length = int(intDigits.size());
    int intIndex = 0;
    int fracIndex = 0;
    auto emitDigit = [&](int index) {
        out += intDigits[index];
        const int fromRight = length - 1 - index;
        if (thousands && fromRight > 0 && fromRight % 3 == 0)
            out += locale.groupSeparator();
    };
    for (const Section::Token& t : s.tokens) {
        switch (t.type) {
        case 'i': {
            if (intIndex == 0) {
                for (int k = 0; k < length - s.intCount; ++k)
                    emitDigit(k);
            }
            const int fromRight = s.intCount - 1 - intIndex;
            if (fromRight < length)
                emitDigit(length - 1 - fromRight);
            ++intIndex;
            break;
        }
        case '.':
            if (!fracDigits.isEmpty())
                out += locale.decimalPoint();
            break;
        case 'f':
            if (fracIndex < fracDigits.size())
                out += fracDigits[fracIndex];
            ++fracIndex;
            break;
        case 'E': {
            QString digits = QString::number(std::abs(exponent));
            while (digits.size() < t.expDigits)
                digits.prepend(u'0');
            out += u'E';
            if (exponent < 0)
                out += u'-';
            else if (t.text == u"+")
                out += u'+';
            out += digits;
            break;
        }
        default:
            out += t.text;
            break;
        }
    }
    return out;
}

QString NumberPattern::format(double value, const QString& pattern, const QLocale& locale) {
    if (!std::isfinite(value))
        return QString::number(value);
    const QStringList sections = splitSections(pattern);
    const bool negative = value < 0;
    const double magnitude = std::fabs(value);
    const Section first = parse(sections.value(0));

    if (sections.size() >= 3 && !sections[2].isEmpty()) {
        const QString zeroCheck = render(magnitude, first, locale);
        bool anyDigit = false;
        for (QChar c : zeroCheck)
            anyDigit = anyDigit || (c.isDigit() && c != u'0');
        if (!anyDigit)
            return render(0.0, parse(sections[2]), locale);
    }
    if (negative && sections.size() >= 2 && !sections[1].isEmpty())
        return render(magnitude, parse(sections[1]), locale);

    const QString text = render(magnitude, first, locale);
    if (!negative)
        return text;
    for (QChar c : text) {
        if (c.isDigit() && c != u'0')
            return u'-' + text;
    }
    return text;
}
