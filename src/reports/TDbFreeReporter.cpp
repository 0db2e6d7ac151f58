#include "reports/TDbFreeReporter.h"

#include "reports/AsciiText.h"
#include "reports/TReporterException.h"
#include "reports/ValueFormatter.h"
#include "reports/VariantMath.h"

#include <QDateTime>

namespace {

QString latin1(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

[[noreturn]] void fail(const QString& message) {
    throw TReporterException(message);
}

} // namespace

TDbFreeReporter::TDbFreeReporter() {
    OnBeginCycle = [this](TFreeReporter*, const QByteArray& parameter, bool& run) {
        BeginCycle(parameter, run);
    };
    OnEndCycle = [this](TFreeReporter*, bool& finished) { EndCycle(finished); };
}

int TDbFreeReporter::AddDataSet(ReportDataSet* dataSet) {
    m_dataSets.append(dataSet);
    return int(m_dataSets.size() - 1);
}

ReportDataSet* TDbFreeReporter::FindDataSet(const QByteArray& name) const {
    for (ReportDataSet* ds : m_dataSets) {
        if (AsciiText::equalsIgnoreCase(ds->name(), name))
            return ds;
    }
    return nullptr;
}

bool TDbFreeReporter::hasActiveCycleOver(const ReportDataSet* dataSet, int before) const {
    for (int i = 0; i < before; ++i) {
        if (m_cycles[i].Active && m_cycles[i].DataSet == dataSet)
            return true;
    }
    return false;
}

void TDbFreeReporter::BeginCycle(const QByteArray& parameter, bool& run) {
    const qsizetype dot = parameter.indexOf('.');
    const QByteArray dsName = dot < 0 ? parameter : parameter.left(dot);
    ReportDataSet* ds = FindDataSet(dsName);
    if (!ds)
        fail(QStringLiteral("Can't find dataset \"%1\".\rCheck template!").arg(latin1(dsName)));
    if (!ds->isOpen())
        fail(QStringLiteral("Can't retrieve data from closed dataset \"%1\"").arg(latin1(dsName)));
    ReportField* groupField = nullptr;
    if (dot >= 0) {
        groupField = ds->findField(parameter.mid(dot + 1));
        if (!groupField) {
            fail(QStringLiteral("Can't find dataset field \"%1\".\rCheck template!")
                     .arg(latin1(parameter)));
        }
    }
    if (!hasActiveCycleOver(ds, int(m_cycles.size())))
        ds->first();
    if (ds->eof()) {
        if (!m_passedEmpty.contains(ds))
            m_passedEmpty.append(ds);
        run = false;
        return;
    }
    TCycleData cycle;
    cycle.ParentCycle = m_currentCycle;
    cycle.DataSet = ds;
    cycle.GroupField = groupField;
    if (groupField)
        cycle.GroupValue = groupField->value();
    cycle.FirstAggregate = int(m_aggregates.size());
    for (int i = 0; i < ds->fieldCount(); ++i) {
        ReportField* f = ds->field(i);
        if (isAggregatable(f->kind()))
            m_aggregates.push_back(TAggregates{f, {}, 0, {}, {}});
    }
    cycle.LastAggregate = int(m_aggregates.size()) - 1;
    m_cycles.push_back(cycle);
    m_currentCycle = int(m_cycles.size()) - 1;
    countRecord(m_cycles.back());
    run = true;
}

void TDbFreeReporter::countRecord(TCycleData& cycle) {
    ++cycle.RecordCount;
    for (int i = cycle.FirstAggregate; i <= cycle.LastAggregate; ++i) {
        TAggregates& a = m_aggregates[i];
        const QVariant v = a.Field->value();
        if (VariantMath::isNull(v))
            continue;
        ++a.Count;
        if (VariantMath::isNull(a.Min) || VariantMath::compare(v, a.Min) < 0)
            a.Min = v;
        if (VariantMath::isNull(a.Max) || VariantMath::compare(v, a.Max) > 0)
            a.Max = v;
        if (isSummable(a.Field->kind()))
            a.Sum = VariantMath::add(a.Sum, v);
    }
}

bool TDbFreeReporter::enclosingGroupChanged(int cycle) const {
    const TCycleData& c = m_cycles[cycle];
    for (int i = 0; i < cycle; ++i) {
        const TCycleData& e = m_cycles[i];
        if (e.Active && e.DataSet == c.DataSet && e.GroupField &&
            !VariantMath::same(e.GroupField->value(), e.GroupValue))
            return true;
    }
    return false;
}

void TDbFreeReporter::removeNestedCycles(int cycle) {
    for (int i = int(m_cycles.size()) - 1; i > cycle; --i) {
        if (m_cycles[i].ParentCycle != cycle)
            continue;
        if (m_cycles[i].Active) {
            fail(QStringLiteral("Cycle \"%1\" can't be closed before nested cycle \"%2\"\rCheck "
                                "template!")
                     .arg(m_cycles[cycle].DataSet->name(), m_cycles[i].DataSet->name()));
        }
        m_cycles.erase(m_cycles.begin() + i);
    }
    const int keep = m_cycles[cycle].LastAggregate + 1;
    if (int(m_aggregates.size()) > keep)
        m_aggregates.resize(keep);
}

// Moves the cycle's data set on: one record, or past the rest of the current group.
void TDbFreeReporter::advance(int cycle, bool& finished) {
    ReportDataSet* ds = m_cycles[cycle].DataSet;
    for (;;) {
        ds->next();
        finished = ds->eof() || enclosingGroupChanged(cycle);
        if (finished) {
            if (!ds->eof())
                ds->prior();
            return;
        }
        countRecord(m_cycles[cycle]);
        for (int i = cycle - 1; i >= 0; --i) {
            if (m_cycles[i].Active && m_cycles[i].DataSet == ds)
                countRecord(m_cycles[i]);
        }
        const TCycleData& c = m_cycles[cycle];
        if (!c.GroupField || !VariantMath::same(c.GroupField->value(), c.GroupValue))
            return;
    }
}

void TDbFreeReporter::EndCycle(bool& finished) {
    if (m_currentCycle < 0)
        fail(QStringLiteral("There is not corresponding \"for\" tag for a \"end\" tag.\rCheck "
                            "template!"));
    const int current = m_currentCycle;
    removeNestedCycles(current);
    advance(current, finished);
    TCycleData& c = m_cycles[current];
    if (finished) {
        c.Active = false;
        m_currentCycle = c.ParentCycle;
    } else if (c.GroupField) {
        c.GroupValue = c.GroupField->value();
    }
}

void TDbFreeReporter::GetTagValue(const QByteArray& tag, QByteArray& value) {
    if (!tag.isEmpty() && !m_dataSets.isEmpty()) {
        if (aggregateValue(tag, value) || fieldValue(tag, value) || builtInValue(tag, value))
            return;
    }
    if (OnUnknownTag && OnUnknownTag(this, tag, value))
        return;
    fail(QStringLiteral("Can't evaluate tag \"%1\".\rCheck template!").arg(latin1(tag)));
}

bool TDbFreeReporter::aggregateValue(const QByteArray& tag, QByteArray& value) {
    const QByteArray lower = AsciiText::toLower(tag);
    const qsizetype open = lower.indexOf('(');
    if (open < 0 || lower.indexOf(')') != lower.size() - 1)
        return false;
    const QByteArray function = lower.left(open);
    if (function != "sum" && function != "avg" && function != "count" && function != "min" &&
        function != "max")
        return false;
    const QByteArray inner = lower.mid(open + 1, lower.size() - open - 2);
    const qsizetype dot = inner.indexOf('.');
    if (dot < 0)
        return false;
    ReportDataSet* ds = FindDataSet(inner.left(dot));
    if (!ds)
        return false;
    const QByteArray fieldName = inner.mid(dot + 1);
    if (fieldName == "*") {
        for (auto it = m_cycles.rbegin(); it != m_cycles.rend(); ++it) {
            if (it->DataSet == ds) {
                value = QByteArray::number(it->RecordCount);
                return true;
            }
        }
        // A cycle that produced nothing counted no record: a report of no entries says 0.
        if (m_passedEmpty.contains(ds)) {
            value = "0";
            return true;
        }
        fail(QStringLiteral("Aggregate \"%1\" can't be evaluated because\rthere is not any cycle "
                            "for dataset \"%2\".\rCheck template!")
                 .arg(latin1(tag), ds->name()));
    }
    ReportField* field = ds->findField(fieldName);
    if (!field)
        return false;
    for (auto it = m_aggregates.rbegin(); it != m_aggregates.rend(); ++it) {
        if (it->Field == field) {
            value = applyAggregate(function, *it);
            return true;
        }
    }
    fail(QStringLiteral("Can't evaluate aggregate field tag \"%1\"\rCheck template!")
             .arg(latin1(tag)));
}

QByteArray TDbFreeReporter::applyAggregate(const QByteArray& function,
                                           const TAggregates& entry) const {
    const ReportField& field = *entry.Field;
    if (function == "count")
        return QByteArray::number(entry.Count);
    if (function == "min")
        return ValueFormatter::formatAggregate(field, entry.Min).toLatin1();
    if (function == "max")
        return ValueFormatter::formatAggregate(field, entry.Max).toLatin1();
    if (!isSummable(field.kind()))
        return {};
    if (function == "sum")
        return ValueFormatter::formatAggregate(field, entry.Sum).toLatin1();
    if (entry.Count <= 0)
        return {};
    return ValueFormatter::formatAggregate(field, VariantMath::divide(entry.Sum, entry.Count))
        .toLatin1();
}

bool TDbFreeReporter::fieldValue(const QByteArray& tag, QByteArray& value) {
    const qsizetype dot = tag.indexOf('.');
    if (dot < 0)
        return false;
    const QByteArray dsName = tag.left(dot);
    ReportDataSet* ds = FindDataSet(dsName);
    if (!ds)
        fail(QStringLiteral("Can't find dataset \"%1\".\rCheck template!").arg(latin1(dsName)));
    if (!ds->isOpen())
        fail(QStringLiteral("Can't retrieve data from closed dataset \"%1\"").arg(ds->name()));
    ReportField* field = ds->findField(tag.mid(dot + 1));
    if (!field)
        return false;
    value = field->displayText().toLatin1();
    return true;
}

bool TDbFreeReporter::builtInValue(const QByteArray& tag, QByteArray& value) {
    const QByteArray word = AsciiText::toLower(tag);
    if (word == "version")
        value = "1.0";
    else if (word == "date")
        value = ValueFormatter::shortDate(QDate::currentDate()).toLatin1();
    else if (word == "time")
        value = ValueFormatter::longTime(QTime::currentTime()).toLatin1();
    else if (word == "now")
        value = ValueFormatter::dateAndTime(QDateTime::currentDateTime()).toLatin1();
    else
        return false;
    return true;
}
