#include "settings/PropertyText.h"

#include "settings/Collection.h"
#include "settings/IntegerRule.h"

#include <QMetaEnum>
#include <QStringList>

#include <algorithm>
#include <array>
#include <iterator>
#include <limits>
#include <utility>

namespace parlino {

namespace {

// Texts that share their data, so that writing one out allocates nothing.
const std::array<QString, 2> BooleanIdentifiers = {QStringLiteral("False"), QStringLiteral("True")};

bool SameIdentifier(const char* identifier, QStringView text)
{
    return text.compare(QLatin1String(identifier), Qt::CaseInsensitive) == 0;
}

std::optional<QVariant> ConvertTo(const QMetaProperty& property, QVariant value)
{
    if (!value.convert(property.metaType()))
        return std::nullopt;
    return value;
}

// A value of the property's own type, or nullopt when the number does not fit into it.
template <typename Number>
std::optional<QVariant> FitInto(const QMetaProperty& property, Number number, Number min, Number max)
{
    if (number < min || number > max)
        return std::nullopt;
    return ConvertTo(property, QVariant::fromValue(number));
}

// Limit is the property's own type, so the value needs no conversion.
template <typename Limit> std::optional<QVariant> IntegerFromText(const QString& text)
{
    // Text that breaks the rule counts as 0.
    const int64_t number = ParseInteger(text).value_or(0);
    if (number < std::numeric_limits<Limit>::min() || number > std::numeric_limits<Limit>::max())
        return std::nullopt;
    return QVariant::fromValue(static_cast<Limit>(number));
}

std::optional<QVariant> IntegerFromText(const QMetaProperty& property, const QString& text)
{
    switch (property.metaType().id()) {
    case QMetaType::Short:
        return IntegerFromText<short>(text);
    case QMetaType::UShort:
        return IntegerFromText<unsigned short>(text);
    case QMetaType::SChar:
        return IntegerFromText<signed char>(text);
    case QMetaType::UChar:
        return IntegerFromText<unsigned char>(text);
    default:
        return IntegerFromText<int32_t>(text);
    }
}

std::optional<QVariant> Int64FromText(const QMetaProperty& property, const QString& text)
{
    const int id = property.metaType().id();
    bool ok = false;
    if (id == QMetaType::UInt || id == QMetaType::ULong || id == QMetaType::ULongLong) {
        const qulonglong max =
            id == QMetaType::UInt ? std::numeric_limits<uint32_t>::max() : std::numeric_limits<qulonglong>::max();
        const qulonglong number = text.toULongLong(&ok);
        return FitInto<qulonglong>(property, ok ? number : 0, 0, max);
    }
    const qlonglong number = text.toLongLong(&ok);
    return FitInto<qlonglong>(property, ok ? number : 0, std::numeric_limits<qlonglong>::min(),
                              std::numeric_limits<qlonglong>::max());
}

QString SetToText(const QMetaEnum& enumeration, int value)
{
    QStringList members;
    for (int i = 0; i < enumeration.keyCount(); ++i) {
        const int member = enumeration.value(i);
        if (member != 0 && (member & (member - 1)) == 0 && (value & member) == member)
            members.append(QLatin1String(enumeration.key(i)));
    }
    return u'[' + members.join(u',') + u']';
}

int MemberOf(const QMetaEnum& enumeration, QStringView word)
{
    for (int i = 0; i < enumeration.keyCount(); ++i) {
        const int member = enumeration.value(i);
        if (member != 0 && (member & (member - 1)) == 0 && SameIdentifier(enumeration.key(i), word))
            return member;
    }
    return 0;
}

bool IsSetSeparator(QChar c)
{
    return c == u' ' || c == u',' || c == u'[' || c == u']';
}

int SetFromText(const QMetaEnum& enumeration, const QString& text)
{
    int value = 0;
    qsizetype begin = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !IsSetSeparator(text[i]))
            continue;
        if (i > begin)
            value |= MemberOf(enumeration, QStringView(text).sliced(begin, i - begin));
        begin = i + 1;
    }
    return value;
}

std::optional<QVariant> EnumerationFromText(const QMetaProperty& property, const QString& text)
{
    if (property.metaType().id() == QMetaType::Bool) {
        for (std::size_t i = 0; i < BooleanIdentifiers.size(); ++i) {
            if (BooleanIdentifiers[i].compare(text, Qt::CaseInsensitive) == 0)
                return QVariant(i == 1);
        }
        return std::nullopt;
    }
    const QMetaEnum enumeration = property.enumerator();
    for (int i = 0; i < enumeration.keyCount(); ++i) {
        if (SameIdentifier(enumeration.key(i), text))
            return ConvertTo(property, QVariant(enumeration.value(i)));
    }
    return std::nullopt;
}

} // namespace

PropertyKind KindOf(const QMetaProperty& property, const QVariant& value)
{
    if (property.isFlagType())
        return PropertyKind::Set;
    if (property.isEnumType())
        return PropertyKind::Enumeration;
    // How a value of each of Qt's plain types is kept. The integers that always fit 32 bits are read by the integer
    // rule; the wider ones, and unsigned int, are kept as 64-bit numbers.
    static constexpr std::pair<int, PropertyKind> kKindOfType[] = {
        {QMetaType::Bool, PropertyKind::Enumeration},    {QMetaType::Int, PropertyKind::Integer},
        {QMetaType::Short, PropertyKind::Integer},       {QMetaType::UShort, PropertyKind::Integer},
        {QMetaType::SChar, PropertyKind::Integer},       {QMetaType::UChar, PropertyKind::Integer},
        {QMetaType::UInt, PropertyKind::Int64},          {QMetaType::Long, PropertyKind::Int64},
        {QMetaType::ULong, PropertyKind::Int64},         {QMetaType::LongLong, PropertyKind::Int64},
        {QMetaType::ULongLong, PropertyKind::Int64},     {QMetaType::Char, PropertyKind::Character},
        {QMetaType::QChar, PropertyKind::WideCharacter}, {QMetaType::Float, PropertyKind::Float},
        {QMetaType::Double, PropertyKind::Float},        {QMetaType::QString, PropertyKind::String},
        {QMetaType::QVariant, PropertyKind::Variant},    {QMetaType::QStringList, PropertyKind::StringList}};
    const QMetaType type = property.metaType();
    const int id = type.id();
    const auto* known = std::find_if(std::begin(kKindOfType), std::end(kKindOfType),
                                     [id](const auto& entry) { return entry.first == id; });
    if (known != std::end(kKindOfType))
        return known->second;
    if (!type.flags().testFlag(QMetaType::PointerToQObject))
        return PropertyKind::Skipped;
    const QObject* object = value.value<QObject*>();
    if (qobject_cast<const TCollection*>(object))
        return PropertyKind::Collection;
    return object && object->objectName().isEmpty() ? PropertyKind::Object : PropertyKind::Component;
}

QString ValueToText(const QMetaProperty& property, const QVariant& value, PropertyKind kind)
{
    switch (kind) {
    case PropertyKind::Integer:
    case PropertyKind::Int64:
    case PropertyKind::String:
    case PropertyKind::Variant:
        return value.toString();
    case PropertyKind::Enumeration:
        if (property.metaType().id() == QMetaType::Bool)
            return BooleanIdentifiers[value.toBool() ? 1 : 0];
        return QLatin1String(property.enumerator().valueToKey(value.toInt()));
    case PropertyKind::Set:
        return SetToText(property.enumerator(), value.toInt());
    case PropertyKind::Character:
        return QString(QChar::fromLatin1(value.value<char>()));
    case PropertyKind::WideCharacter:
        return QString(value.value<QChar>());
    case PropertyKind::Float:
        return QString::number(value.toDouble(), 'g', property.metaType().id() == QMetaType::Float ? 7 : 15);
    default:
        return {};
    }
}

std::optional<QVariant> ValueFromText(const QMetaProperty& property, const QString& text, PropertyKind kind)
{
    switch (kind) {
    case PropertyKind::Integer:
        return IntegerFromText(property, text);
    case PropertyKind::Int64:
        return Int64FromText(property, text);
    case PropertyKind::Enumeration:
        return EnumerationFromText(property, text);
    case PropertyKind::Set:
        return ConvertTo(property, QVariant(SetFromText(property.enumerator(), text)));
    case PropertyKind::Character:
        if (text.isEmpty())
            return std::nullopt;
        return QVariant::fromValue(text.front().toLatin1());
    case PropertyKind::WideCharacter:
        if (text.isEmpty())
            return std::nullopt;
        return QVariant::fromValue(text.front());
    case PropertyKind::Float: {
        bool ok = false;
        const double number = text.toDouble(&ok);
        return ok ? ConvertTo(property, QVariant(number)) : std::nullopt;
    }
    case PropertyKind::String:
    case PropertyKind::Variant:
        return QVariant(text);
    default:
        return std::nullopt;
    }
}

} // namespace parlino
