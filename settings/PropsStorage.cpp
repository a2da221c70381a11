#include "settings/PropsStorage.h"

#include "settings/Collection.h"
#include "settings/IntegerRule.h"
#include "settings/PropertyText.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>
#include <unordered_map>

namespace parlino {

namespace {

// A stored count beyond this is taken as damage, not as a wish for that many reads.
constexpr int32_t MaxStoredItems = 100000;

const QString NullComponent = QStringLiteral("(null)");

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Characters with codes up to 32 go at both ends.
QString TrimControls(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

bool IsQtClass(const QMetaObject* metaObject)
{
    const char* name = metaObject->className();
    return name[0] == 'Q' && name[1] >= 'A' && name[1] <= 'Z';
}

template <typename Object> Object* FormOf(Object* object)
{
    while (object->parent())
        object = object->parent();
    return object;
}

QObject* FindForm(QObject* ownForm, const QString& name)
{
    if (SameName(ownForm->objectName(), name))
        return ownForm;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    const QWidgetList forms = QApplication::topLevelWidgets();
    const auto found = std::find_if(forms.begin(), forms.end(),
                                    [&name](const QWidget* form) { return SameName(form->objectName(), name); });
    return found == forms.end() ? nullptr : *found;
}

} // namespace

QObject* FindComponent(const QObject* form, const QString& name)
{
    // A name is nearly always spelled as the component's own, and the exact search makes no list.
    if (QObject* exact = name.isEmpty() ? nullptr : form->findChild<QObject*>(name))
        return exact;
    const QList<QObject*> children = form->findChildren<QObject*>();
    const auto found = std::find_if(children.begin(), children.end(),
                                    [&name](const QObject* child) { return SameName(child->objectName(), name); });
    return found == children.end() ? nullptr : *found;
}

std::optional<StoredPropName> SplitStoredProp(const QString& item)
{
    const qsizetype dot = item.indexOf(u'.');
    if (dot < 0)
        return std::nullopt;
    StoredPropName name{item.left(dot).trimmed(), item.mid(dot + 1).trimmed()};
    if (name.component.isEmpty() || name.property.isEmpty())
        return std::nullopt;
    return name;
}

TPropsStorage::TPropsStorage(QObject* targetObject, QString keyPrefix, QString sectionName, ReadTextOp readText,
                             WriteTextOp writeText, EraseSectionOp eraseSection)
    : targetObject_(targetObject), keyPrefix_(std::move(keyPrefix)), sectionName_(std::move(sectionName)),
      readText_(std::move(readText)), writeText_(std::move(writeText)), eraseSection_(std::move(eraseSection))
{}

TPropsStorage TPropsStorage::With(QObject* targetObject, QString keyPrefix, QString sectionName) const
{
    return TPropsStorage(targetObject, std::move(keyPrefix), std::move(sectionName), readText_, writeText_,
                         eraseSection_);
}

QString TPropsStorage::KeyOf(const QMetaProperty& property) const
{
    // Made in one allocation: appending the name to a copy of the prefix would allocate twice.
    const QLatin1StringView name(property.name());
    QString key(keyPrefix_.size() + name.size(), Qt::Uninitialized);
    std::transform(name.begin(), name.end(), std::copy(keyPrefix_.begin(), keyPrefix_.end(), key.begin()),
                   [](char c) { return QLatin1Char(c); });
    return key;
}

QList<QMetaProperty> TPropsStorage::StorableProperties(const QObject* object)
{
    // A class's properties never change, so each class is listed once (per thread, which needs no lock).
    thread_local std::unordered_map<const QMetaObject*, QList<QMetaProperty>> byClass;
    const auto [known, added] = byClass.try_emplace(object->metaObject());
    QList<QMetaProperty>& properties = known->second;
    if (!added)
        return properties;
    for (const QMetaObject* metaObject = object->metaObject(); metaObject && !IsQtClass(metaObject);
         metaObject = metaObject->superClass()) {
        for (int i = metaObject->propertyOffset(); i < metaObject->propertyCount(); ++i) {
            const QMetaProperty property = metaObject->property(i);
            if (property.isReadable())
                properties.append(property);
        }
    }
    std::stable_sort(properties.begin(), properties.end(), [](const QMetaProperty& a, const QMetaProperty& b) {
        return QLatin1String(a.name()).compare(QLatin1String(b.name()), Qt::CaseInsensitive) < 0;
    });
    return properties;
}

std::optional<QMetaProperty> TPropsStorage::FindStorableProperty(const QObject* object, const QString& name)
{
    // The sort is stable: of names that differ only in case, the most derived class's first one still comes first.
    for (const QMetaProperty& property : StorableProperties(object)) {
        if (name.compare(QLatin1StringView(property.name()), Qt::CaseInsensitive) == 0)
            return property;
    }
    return std::nullopt;
}

bool TPropsStorage::TransferApart(const QMetaProperty& property, const QString& key, const QVariant& value,
                                  PropertyKind kind, Transfer transfer)
{
    const bool write = transfer == Transfer::Write;
    switch (kind) {
    case PropertyKind::Skipped:
        return true;
    case PropertyKind::Object:
        TransferObjectProps(value.value<QObject*>(), key, sectionName_, transfer);
        return true;
    case PropertyKind::StringList:
        if (write)
            WriteStringList(key, value.toStringList());
        else
            ReadStringList(property, key);
        return true;
    case PropertyKind::Collection: {
        TCollection& collection = *qobject_cast<TCollection*>(value.value<QObject*>());
        if (write)
            WriteCollection(key, collection);
        else
            ReadCollection(key, collection);
        return true;
    }
    default:
        return false;
    }
}

void TPropsStorage::WriteProp(const QMetaProperty& property)
{
    TransferProp(property, Transfer::Write);
}

void TPropsStorage::ReadProp(const QMetaProperty& property)
{
    TransferProp(property, Transfer::Read);
}

void TPropsStorage::TransferProp(const QMetaProperty& property, Transfer transfer)
{
    try {
        const QVariant value = property.read(targetObject_);
        const PropertyKind kind = KindOf(property, value);
        const QString key = KeyOf(property);
        if (TransferApart(property, key, value, kind, transfer))
            return;
        // The present text is what a write stores, and what a read takes for a missing key, so that the property
        // stays as it is. Only a text is stored empty: a reference to nothing is not stored.
        const QString text = TextOf(property, value, kind);
        const bool stored = !text.isEmpty() || kind == PropertyKind::String || kind == PropertyKind::WideCharacter;
        if (transfer == Transfer::Write) {
            if (stored)
                writeText_(sectionName_, key, TrimControls(text));
            return;
        }
        const QString storedText = stored ? TrimControls(readText_(sectionName_, key, text)) : QString();
        const std::optional<QVariant> newValue = kind == PropertyKind::Component
                                                     ? ComponentFromText(property, storedText)
                                                     : ValueFromText(property, storedText, kind);
        if (newValue)
            property.write(targetObject_, *newValue);
    } catch (...) {
        // A write that fails reaches the caller. A value that cannot be converted or assigned leaves the property as
        // it was, and the next one is still read.
        if (transfer == Transfer::Write)
            throw;
    }
}

void TPropsStorage::TransferObjectProps(QObject* object, const QString& prefix, const QString& section,
                                        Transfer transfer) const
{
    if (!object)
        return;
    TPropsStorage storage = With(object, prefix, section);
    // Each default is taken right before its read, so a property sees what the ones before it have set.
    for (const QMetaProperty& property : StorableProperties(object))
        storage.TransferProp(property, transfer);
}

void TPropsStorage::WriteObjectProps(QObject* object, const QString& prefix, const QString& section)
{
    TransferObjectProps(object, prefix, section, Transfer::Write);
}

void TPropsStorage::ReadObjectProps(QObject* object, const QString& prefix, const QString& section)
{
    TransferObjectProps(object, prefix, section, Transfer::Read);
}

void TPropsStorage::TransferListedProps(QObject* form, const QStringList& storedProps, Transfer transfer) const
{
    for (const QString& item : storedProps) {
        const std::optional<StoredPropName> name = SplitStoredProp(item);
        QObject* component = name ? FindComponent(form, name->component) : nullptr;
        if (!component)
            continue;
        if (const auto property = FindStorableProperty(component, name->property)) {
            TPropsStorage storage = With(component, component->objectName() + u'_', sectionName_);
            storage.TransferProp(*property, transfer);
        }
    }
}

void TPropsStorage::WriteListedProps(QObject* form, const QStringList& storedProps)
{
    TransferListedProps(form, storedProps, Transfer::Write);
}

void TPropsStorage::ReadListedProps(QObject* form, const QStringList& storedProps)
{
    TransferListedProps(form, storedProps, Transfer::Read);
}

void TPropsStorage::WriteStringList(const QString& key, const QStringList& lines)
{
    const QString section = sectionName_ + u'.' + key;
    if (eraseSection_)
        eraseSection_(section);
    writeText_(section, QStringLiteral("Count"), QString::number(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i)
        writeText_(section, QStringLiteral("Item%1").arg(i), lines[i]);
}

void TPropsStorage::ReadStringList(const QMetaProperty& property, const QString& key)
{
    const QString section = sectionName_ + u'.' + key;
    const int32_t count = ParseInteger(readText_(section, QStringLiteral("Count"), QStringLiteral("0"))).value_or(0);
    if (count <= 0 || count > MaxStoredItems)
        return;
    QStringList lines;
    lines.reserve(count);
    for (int32_t i = 0; i < count; ++i)
        lines.append(readText_(section, QStringLiteral("Item%1").arg(i), QString()));
    property.write(targetObject_, lines);
}

void TPropsStorage::WriteCollection(const QString& key, const TCollection& collection)
{
    const QString section = sectionName_ + u'.' + key;
    if (eraseSection_)
        eraseSection_(section);
    writeText_(sectionName_, key + QStringLiteral(".Count"), QString::number(collection.Count()));
    for (int i = 0; i < collection.Count(); ++i)
        WriteObjectProps(collection.Item(i), QStringLiteral("Item%1_").arg(i), section);
}

void TPropsStorage::ReadCollection(const QString& key, TCollection& collection)
{
    const QString countText =
        readText_(sectionName_, key + QStringLiteral(".Count"), QString::number(collection.Count()));
    const std::optional<int32_t> count = ParseInteger(TrimControls(countText));
    if (!count || *count < 0 || *count > MaxStoredItems)
        return;
    if (*count != collection.Count()) {
        collection.Clear();
        for (int32_t i = 0; i < *count; ++i)
            collection.Add();
    }
    const QString section = sectionName_ + u'.' + key;
    for (int i = 0; i < collection.Count(); ++i)
        ReadObjectProps(collection.Item(i), QStringLiteral("Item%1_").arg(i), section);
}

QString TPropsStorage::TextOf(const QMetaProperty& property, const QVariant& value, PropertyKind kind) const
{
    return kind == PropertyKind::Component ? ComponentText(value.value<QObject*>())
                                           : ValueToText(property, value, kind);
}

QString TPropsStorage::ComponentText(const QObject* component) const
{
    if (!component)
        return NullComponent;
    const QObject* form = FormOf(component);
    if (form == component || form == FormOf(targetObject_))
        return component->objectName();
    return form->objectName() + u'.' + component->objectName();
}

std::optional<QVariant> TPropsStorage::ComponentFromText(const QMetaProperty& property, const QString& text) const
{
    if (text == NullComponent)
        return QVariant(property.metaType());
    QObject* ownForm = FormOf(targetObject_);
    QObject* found = nullptr;
    const qsizetype dot = text.indexOf(u'.');
    if (dot >= 0) {
        QObject* form = FindForm(ownForm, text.left(dot));
        found = form ? FindComponent(form, text.mid(dot + 1)) : nullptr;
    } else {
        found = FindComponent(ownForm, text);
        if (!found)
            found = FindForm(ownForm, text);
    }
    if (!found || !found->metaObject()->inherits(property.metaType().metaObject()))
        return std::nullopt;
    QVariant value = QVariant::fromValue(found);
    if (!value.convert(property.metaType()))
        return std::nullopt;
    return value;
}

} // namespace parlino
