#pragma once
// A member's personal record as it travels: eight ";"-ended fields, and the checks a record
// must pass before it is sent.

#include <QString>
#include <array>

struct PersonalData
{
    enum Field { Name, Email, Nick, Town, Address, Phones, Mobile, Note, FieldCount };
    std::array<QString, FieldCount> fields;

    // Cuts the eight fields from the payload; missing ones are empty.
    static PersonalData Parse(QString payload);
    // The eight fields, each through SafeField and ended by ";".
    QString Fields() const;
    // "D1 " (public) or "D0 " and the fields.
    QString Line(bool isPublic) const;
};

// The first failing check throws its message; the order is the order users are told of
// problems: lengths first, then the nickname, then the e-mail address.
void CheckPersonalData(const PersonalData &data);
