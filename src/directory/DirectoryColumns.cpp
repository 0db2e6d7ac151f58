#include "directory/DirectoryColumns.h"

namespace {
struct Column {
    const char* title;
    int width;
};
const Column Columns[DirectoryColumns::Count] = {
    {"S.No", 40},      {"TITLE", 200},       {"Address", 300}, {"Zip Code", 70},
    {"Business", 150}, {"Description", 250}, {"Person", 150},  {"Designation", 150},
    {"Phone", 150},    {"Fax", 150},         {"Mobile", 150},  {"U.A.N", 150},
    {"E-Mail", 200},   {"Web Site", 200}};
} // namespace

QString DirectoryColumns::title(int column) {
    return column >= 0 && column < Count ? QString::fromLatin1(Columns[column].title) : QString();
}

int DirectoryColumns::width(int column) {
    return column >= 0 && column < Count ? Columns[column].width : 0;
}

QString DirectoryColumns::cellText(const ContactRow& row, int column) {
    switch (column) {
    case 1:
        return row.CNAM;
    case 2:
        return row.ADR;
    case 3:
        return row.ZCD;
    case 4:
        return row.BTP;
    case 5:
        return row.BDS;
    case 6:
        return row.PNAM;
    case 7:
        return row.PDSG;
    case 8:
        return row.PHN;
    case 9:
        return row.FAX;
    case 10:
        return row.MOB;
    case 11:
        return row.UAN;
    case 12:
        return row.EML;
    case 13:
        return row.WEB;
    default:
        return {};
    }
}

QString DirectoryColumns::displayText(const ContactRow& row, int rowPosition, int column) {
    if (column == 0)
        return QString::number(rowPosition + 1);
    QString text = cellText(row, column);
    if (text.contains(u'\n') || text.contains(u'\r'))
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "))
            .replace(u'\n', u' ')
            .replace(u'\r', u' ');
    return text;
}

QVariant DirectoryColumns::alignment(int column) {
    return column == 0 ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                       : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
}

QVariant DirectoryColumns::header(int section, Qt::Orientation orientation, int role) {
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole)
        return title(section);
    if (role == Qt::TextAlignmentRole && section == 0)
        return alignment(0);
    return {};
}
