#pragma once

#include <QMetaProperty>
#include <QString>
#include <QVariant>

#include <optional>

namespace parlino {

// How a property is kept in the settings file.
enum class PropertyKind {
    Integer,       // up to 32 bits, by the integer rule
    Int64,         // the wider or unsigned integers, in decimal
    Enumeration,   // Booleans too, by identifier
    Set,           // a flag type, by the identifiers of its members
    Character,     // a char
    WideCharacter, // a QChar
    Float,         // by "." and the precision of the type
    String,
    Variant,    // as its text
    StringList, // in a section of its own
    Collection, // a TCollection: the number of items, then the items' properties in a section of their own
    Object,     // an object without a name, owned by the property: its own properties under their own keys
    Component,  // a named object elsewhere: by its name
    Skipped     // every other type
};

// Object-valued properties are told apart by their present value, which decides between Collection, Object (an
// object with an empty objectName) and Component (a named object, or none).
PropertyKind KindOf(const QMetaProperty& property, const QVariant& value);

// The two conversions take the property's kind as KindOf gives it, which their caller has at hand.

// The text of a value of the kinds up to Variant; empty for values that have no text (an enumeration value without
// an identifier) and for the other kinds.
QString ValueToText(const QMetaProperty& property, const QVariant& value, PropertyKind kind);

// The value for a text of the kinds up to Variant, ready to be written to the property; nullopt when the text leaves
// the property as it is (an unknown identifier, a malformed floating-point number, an out-of-range integer).
std::optional<QVariant> ValueFromText(const QMetaProperty& property, const QString& text, PropertyKind kind);

} // namespace parlino
