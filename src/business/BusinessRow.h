#pragma once

#include "contacts/ContactRow.h"

#include <QString>

// The record kept with every row of the business result list: the contact fields in the same
// order (CTCD and HOT stay 0), then the row's background colour.
struct BusinessRow : ContactRow {
    QString RowColour; // "#RRGGBB", or empty for the default background
};
