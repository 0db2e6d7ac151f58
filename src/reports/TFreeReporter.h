#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class QIODevice;

// The template scanner of the report engine: copies a template byte for byte, replaces tags
// written as \{...\} with values and repeats cycle bodies under the control of two hooks.
class TFreeReporter {
public:
    // Asked at a cycle start tag with the cycle parameter; sets run when the body is produced.
    using BeginCycleHook =
        std::function<void(TFreeReporter* owner, const QByteArray& parameter, bool& run)>;
    // Asked at a cycle end tag; sets finished when the cycle is done.
    using EndCycleHook = std::function<void(TFreeReporter* owner, bool& finished)>;

    enum class TagKind { CycleStart, CycleEnd, Value };

    TFreeReporter() = default;
    virtual ~TFreeReporter() = default;
    TFreeReporter(const TFreeReporter&) = delete;
    TFreeReporter& operator=(const TFreeReporter&) = delete;

    // Runs the whole template file into the output file (created or truncated). Raises
    // TReporterException for template faults and ReportFileError for file faults; the output
    // keeps what was written before a fault.
    void Execute(const QString& templateFile, const QString& outputFile);
    // The same over a template held in memory, writing to an open device.
    void Execute(const QByteArray& templateText, QIODevice& output);

    // Removes word-processor formatting from raw tag text (control words, braces, control
    // bytes) and resolves \'hh escapes.
    static QByteArray CleanTagText(const QByteArray& raw);
    static TagKind KindOf(const QByteArray& cleanTag);

    BeginCycleHook OnBeginCycle;
    EndCycleHook OnEndCycle;

protected:
    // Gives the value of a value tag (cleaned tag text, letter case as written).
    virtual void GetTagValue(const QByteArray& tag, QByteArray& value) = 0;

private:
    struct Tag {
        qsizetype start = 0; // first byte of the opening delimiter, or to + 1 when none
        qsizetype end = 0;   // first byte after the closing delimiter
        TagKind kind = TagKind::Value;
        QByteArray text; // cleaned tag text
    };

    Tag findTag(qsizetype pos, qsizetype to) const;
    Tag findMatchingEnd(qsizetype pos, qsizetype to) const;
    void processRange(qsizetype from, qsizetype to);
    void write(const char* data, qsizetype size);

    QByteArray m_template;
    QIODevice* m_output = nullptr;
};
