#pragma once

#include <QString>
#include <QStringList>

// Splits ":NAME" parameters out of a statement text, leaving '?' marks for the engine.
// Quoted strings, quoted identifiers and comments are left alone.
struct SqlText {
    QString text;       // the statement with every parameter replaced by '?'
    QStringList params; // upper-case parameter names in the order of their marks

    static SqlText parse(const QString& sql);
};
