// Fuzz target: template bytes through the report engine over two small data sets.
#include "reports/MemoryTable.h"
#include "reports/ReportFileError.h"
#include "reports/TDbFreeReporter.h"
#include "reports/TReporterException.h"

#include <QBuffer>
#include <QDate>
#include <cstdint>

namespace {

// A sink that keeps memory bounded however much a template writes.
class DiscardingDevice : public QIODevice {
protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override { return len; }
};

struct Tables {
    MemoryTable ds{QStringLiteral("DS")};
    MemoryTable other{QStringLiteral("Other")};
    MemoryTable closed{QStringLiteral("C")};
    Tables() {
        ds.addField(QStringLiteral("TITLE"), FieldKind::String);
        ds.addField(QStringLiteral("ZIP CODE"), FieldKind::Variant);
        ds.addField(QStringLiteral("N"), FieldKind::Integer)
            ->setDisplayFormat(QStringLiteral("#,##0"));
        ds.addField(QStringLiteral("F"), FieldKind::Float)
            ->setDisplayFormat(QStringLiteral("0.00;(0.00);'zero'"));
        ds.addField(QStringLiteral("M"), FieldKind::Currency)->setCurrency(true);
        ds.addField(QStringLiteral("G"), FieldKind::Float);
        ds.addField(QStringLiteral("D"), FieldKind::Date);
        ds.addField(QStringLiteral("T"), FieldKind::Time);
        ds.addField(QStringLiteral("S"), FieldKind::DateTime)
            ->setDisplayFormat(QStringLiteral("yyyy-MM-dd hh:mm"));
        ds.addField(QStringLiteral("B"), FieldKind::Blob);
        ds.addField(QStringLiteral("E"), FieldKind::Float)
            ->setEditFormat(QStringLiteral("0.0E+00"));
        other.addField(QStringLiteral("A"), FieldKind::Integer);
        closed.addField(QStringLiteral("A"), FieldKind::Integer);
        closed.setOpen(false);
    }
    void fill() {
        ds.removeAllRows();
        const char* titles[] = {"a", "a", "b", "c"};
        for (int i = 0; i < 4; ++i) {
            ds.appendRow({QString::fromLatin1(titles[i]), i % 2 ? QVariant() : QVariant(i),
                          i * 1000, i - 1.5, i * 2.25, 1e300 * i, QDate(2020, 1, 1 + i),
                          QTime(i, 30), QDateTime(QDate(2021, 2, 3), QTime(4, 5)), QByteArray("x"),
                          -0.000123 * i});
        }
        other.removeAllRows();
        other.appendRow({1});
        other.appendRow({QVariant()});
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Tables tables;
    tables.fill();
    TDbFreeReporter reporter;
    reporter.AddDataSet(&tables.ds);
    reporter.AddDataSet(&tables.other);
    reporter.AddDataSet(&tables.closed);
    DiscardingDevice out;
    out.open(QIODevice::WriteOnly);
    try {
        reporter.Execute(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), out);
    } catch (const TReporterException&) {
    }
    return 0;
}
