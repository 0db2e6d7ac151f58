#include "reports/TFreeReporter.h"

#include "reports/AsciiText.h"
#include "reports/ReportFileError.h"
#include "reports/TReporterException.h"

#include <QFile>
#include <vector>

namespace {

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// One stretch of the template being produced: the range [from, to] and the scan position.
struct Frame {
    qsizetype from;
    qsizetype to;
    qsizetype pos;
};

} // namespace

void TFreeReporter::Execute(const QString& templateFile, const QString& outputFile) {
    const QByteArray text = readReportFile(templateFile);

    QFile out(outputFile);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ReportFileError::cannotCreate(outputFile, out.errorString());
    Execute(text, out); // QFile closes itself when a fault unwinds through here
    if (!out.flush() || out.error() != QFileDevice::NoError)
        throw ReportFileError::cannotWrite(outputFile, out.errorString());
    out.close();
}

void TFreeReporter::Execute(const QByteArray& templateText, QIODevice& output) {
    m_template = templateText;
    m_output = &output;
    if (!m_template.isEmpty())
        processRange(0, m_template.size() - 1);
    m_output = nullptr;
}

QByteArray TFreeReporter::CleanTagText(const QByteArray& raw) {
    QByteArray out;
    out.reserve(raw.size());
    const qsizetype n = raw.size();
    qsizetype i = 0;
    while (i < n) {
        const char c = raw[i];
        if (static_cast<unsigned char>(c) < 32 || c == '{' || c == '}') {
            ++i;
        } else if (c == '\\' && i + 1 < n && raw[i + 1] == '\'') {
            // Hex escape: two hexadecimal digits give one byte. Malformed digits give nothing.
            const int hi = i + 2 < n ? AsciiText::hexValue(raw[i + 2]) : -1;
            const int lo = i + 3 < n ? AsciiText::hexValue(raw[i + 3]) : -1;
            if (hi >= 0 && lo >= 0)
                out.append(char(hi * 16 + lo));
            i += 4;
        } else if (c == '\\') {
            // Control word: dropped up to the next blank, backslash or brace.
            ++i;
            while (i < n && !isBlank(raw[i]) && raw[i] != '\\' && raw[i] != '{' && raw[i] != '}')
                ++i;
            if (i < n && raw[i] != '\\')
                ++i;
        } else {
            out.append(c);
            ++i;
        }
    }
    return out;
}

TFreeReporter::TagKind TFreeReporter::KindOf(const QByteArray& cleanTag) {
    const QByteArray lower = AsciiText::toLower(cleanTag);
    if (lower.startsWith("for "))
        return TagKind::CycleStart;
    if (lower == "end")
        return TagKind::CycleEnd;
    return TagKind::Value;
}

TFreeReporter::Tag TFreeReporter::findTag(qsizetype pos, qsizetype to) const {
    Tag tag;
    const qsizetype open = m_template.indexOf("\\{", pos);
    if (open < 0 || open >= to) {
        tag.start = to + 1;
        return tag;
    }
    const qsizetype close = m_template.indexOf("\\}", open + 2);
    if (close < 0 || close > to)
        throw TReporterException(
            QStringLiteral("Can't find a closing bracket \"}\". Check template!"));
    tag.start = open;
    tag.end = close + 2;
    tag.text = CleanTagText(m_template.mid(open + 2, close - open - 2));
    tag.kind = KindOf(tag.text);
    return tag;
}

TFreeReporter::Tag TFreeReporter::findMatchingEnd(qsizetype pos, qsizetype to) const {
    int depth = 1;
    for (;;) {
        Tag tag = pos <= to ? findTag(pos, to) : Tag{to + 1, 0, TagKind::Value, {}};
        if (tag.start > to) {
            throw TReporterException(QStringLiteral(
                "Can't find a closing \"end\" for a \"for\" cycle. Check template!"));
        }
        if (tag.kind == TagKind::CycleStart)
            ++depth;
        else if (tag.kind == TagKind::CycleEnd && --depth == 0)
            return tag;
        pos = tag.end;
    }
}

// Produces [from, to]. A running cycle body is a nested stretch that ends with its own end tag;
// the stretches are kept on an explicit stack so deeply nested templates cannot exhaust the
// call stack.
void TFreeReporter::processRange(qsizetype from, qsizetype to) {
    std::vector<Frame> stack{{from, to, from}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.pos > f.to) {
            stack.pop_back();
            continue;
        }
        Tag tag = findTag(f.pos, f.to);
        if (tag.start > f.pos)
            write(m_template.constData() + f.pos, std::min(tag.start, f.to + 1) - f.pos);
        if (tag.start > f.to) {
            stack.pop_back();
            continue;
        }
        f.pos = tag.end;
        switch (tag.kind) {
        case TagKind::CycleStart: {
            bool run = false;
            if (OnBeginCycle)
                OnBeginCycle(this, AsciiText::trimBlanks(tag.text.mid(4)), run);
            const Tag end = findMatchingEnd(f.pos, f.to);
            const Frame body{f.pos, end.end - 1, f.pos};
            f.pos = end.end;
            if (run)
                stack.push_back(body);
            break;
        }
        case TagKind::CycleEnd: {
            bool finished = true;
            if (OnEndCycle)
                OnEndCycle(this, finished);
            if (finished)
                stack.pop_back();
            else
                f.pos = f.from;
            break;
        }
        case TagKind::Value: {
            QByteArray value;
            GetTagValue(tag.text, value);
            write(value.constData(), value.size());
            break;
        }
        }
    }
}

void TFreeReporter::write(const char* data, qsizetype size) {
    if (size > 0 && m_output->write(data, size) != size) {
        const auto* file = qobject_cast<QFileDevice*>(m_output);
        throw ReportFileError::cannotWrite(file ? file->fileName() : QString(),
                                           m_output->errorString());
    }
}
