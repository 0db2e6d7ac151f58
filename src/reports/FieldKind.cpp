#include "reports/FieldKind.h"

bool isAggregatable(FieldKind kind) {
    switch (kind) {
    case FieldKind::Bytes:
    case FieldKind::VarBytes:
    case FieldKind::Blob:
    case FieldKind::Memo:
    case FieldKind::Graphic:
    case FieldKind::FmtMemo:
    case FieldKind::ParadoxOle:
    case FieldKind::DBaseOle:
    case FieldKind::TypedBinary:
    case FieldKind::Cursor:
    case FieldKind::Adt:
    case FieldKind::Array:
    case FieldKind::Reference:
    case FieldKind::DataSet:
        return false;
    default:
        return true;
    }
}

bool isSummable(FieldKind kind) {
    switch (kind) {
    case FieldKind::SmallInt:
    case FieldKind::Integer:
    case FieldKind::Word:
    case FieldKind::Float:
    case FieldKind::Currency:
    case FieldKind::Date:
    case FieldKind::Time:
    case FieldKind::DateTime:
    case FieldKind::AutoInc:
    case FieldKind::LargeInt:
    case FieldKind::TimeStamp:
        return true;
    default:
        return false;
    }
}

bool isIntegerKind(FieldKind kind) {
    return kind == FieldKind::SmallInt || kind == FieldKind::Integer || kind == FieldKind::Word ||
           kind == FieldKind::AutoInc;
}

bool isDateTimeKind(FieldKind kind) {
    return kind == FieldKind::Date || kind == FieldKind::Time || kind == FieldKind::DateTime ||
           kind == FieldKind::TimeStamp;
}
