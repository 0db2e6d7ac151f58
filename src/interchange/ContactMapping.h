#pragma once

#include "contacts/ContactRow.h"
#include "interchange/ContactCard.h"

#include <functional>

// The one rule that puts the values of an imported card into the CONT columns (the README's
// "Contacts in and out" lists it), so vCard and CSV files of every kind land alike.
class ContactMapping {
public:
    // Answers the city list's CD for a city name (any letter case), 0 when it names none.
    using CityLookup = std::function<int(const QString&)>;

    // The contact the card describes. CCD is set from the address's locality (or the program's
    // own City column) when the city list has it. Texts are not yet cut to their columns.
    static ContactRow toRow(const ContactCard& card, const CityLookup& city);

    // The first number of a phone field, digits only (the duplicates rule compares it).
    static QString firstNumberDigits(const ContactRow& row);
};
