#pragma once

// The kind of a data-set field, as far as the report engine distinguishes kinds.
enum class FieldKind {
    Unknown,
    String,
    SmallInt,
    Integer,
    Word,
    Boolean,
    Float,
    Currency,
    Bcd,
    Date,
    Time,
    DateTime,
    Bytes,
    VarBytes,
    AutoInc,
    Blob,
    Memo,
    Graphic,
    FmtMemo,
    ParadoxOle,
    DBaseOle,
    TypedBinary,
    Cursor,
    LargeInt,
    Adt,
    Array,
    Reference,
    DataSet,
    Variant,
    TimeStamp,
};

// True when running aggregates (count, min, max) are kept for a field of this kind.
bool isAggregatable(FieldKind kind);
// True when a running sum is kept for a field of this kind.
bool isSummable(FieldKind kind);
// Small integer, integer, unsigned word and auto-increment.
bool isIntegerKind(FieldKind kind);
// Date, time, date-time and timestamp.
bool isDateTimeKind(FieldKind kind);
