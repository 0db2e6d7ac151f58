#pragma once

#include "reports/ReportDataSet.h"
#include "reports/TFreeReporter.h"

#include <QList>
#include <QVariant>
#include <functional>
#include <vector>

// One started cycle of the report engine.
struct TCycleData {
    bool Active = true;
    int ParentCycle = -1;
    ReportDataSet* DataSet = nullptr;
    ReportField* GroupField = nullptr;
    QVariant GroupValue;
    int FirstAggregate = 0;
    int LastAggregate = -1;
    int RecordCount = 0;
};

// The running aggregates of one field over the records a cycle has passed.
struct TAggregates {
    ReportField* Field = nullptr;
    QVariant Sum; // invalid: empty (nothing summed yet)
    int Count = 0;
    QVariant Min; // invalid: null
    QVariant Max;
};

// The report engine over registered data sets: cycles over records (optionally grouped by a
// field), field values, running aggregates and a few built-in words.
class TDbFreeReporter : public TFreeReporter {
public:
    using UnknownTagHook =
        std::function<bool(TDbFreeReporter* owner, const QByteArray& tag, QByteArray& value)>;

    TDbFreeReporter();

    // Registers a data set (not owned); answers its index. No duplicate check.
    int AddDataSet(ReportDataSet* dataSet);
    // The first registered data set whose name equals the name, ASCII letter case ignored.
    ReportDataSet* FindDataSet(const QByteArray& name) const;

    const std::vector<TCycleData>& Cycles() const { return m_cycles; }
    int CurrentCycle() const { return m_currentCycle; }

    // Asked for value tags the engine cannot resolve; answers true with a value.
    UnknownTagHook OnUnknownTag;

protected:
    void GetTagValue(const QByteArray& tag, QByteArray& value) override;

private:
    void BeginCycle(const QByteArray& parameter, bool& run);
    void EndCycle(bool& finished);
    bool hasActiveCycleOver(const ReportDataSet* dataSet, int before) const;
    bool enclosingGroupChanged(int cycle) const;
    void countRecord(TCycleData& cycle);
    void removeNestedCycles(int cycle);
    void advance(int cycle, bool& finished);

    bool aggregateValue(const QByteArray& tag, QByteArray& value);
    bool fieldValue(const QByteArray& tag, QByteArray& value);
    bool builtInValue(const QByteArray& tag, QByteArray& value);
    QByteArray applyAggregate(const QByteArray& function, const TAggregates& entry) const;

    QList<ReportDataSet*> m_dataSets;
    std::vector<TCycleData> m_cycles;
    int m_currentCycle = -1;
    std::vector<TAggregates> m_aggregates;
    // Data sets a cycle met at end of data: their "*" count is 0 rather than a template fault.
    QList<const ReportDataSet*> m_passedEmpty;
};
