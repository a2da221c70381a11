#pragma once

#include <QList>
#include <QMetaProperty>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace parlino {

class TCollection;
enum class PropertyKind;

// One item of a StoredProps list, "Component.Property", split at its first ".".
struct StoredPropName
{
    QString component;
    QString property;
};

// Blanks are removed from both parts; nullopt when there is no "." or a part is empty.
std::optional<StoredPropName> SplitStoredProp(const QString& item);

// The form's component of that name, compared without regard to case; null when there is none.
QObject* FindComponent(const QObject* form, const QString& name);

// Converts between the Qt properties of an object and keys of one section: each property is kept under
// KeyPrefix + its name as text of its kind (see PropertyKind). The text operations come from the owner.
class TPropsStorage
{
public:
    using ReadTextOp = std::function<QString(const QString& section, const QString& key, const QString& defaultValue)>;
    using WriteTextOp = std::function<void(const QString& section, const QString& key, const QString& value)>;
    using EraseSectionOp = std::function<void(const QString& section)>;

    // A string list or collection keeps its items in a section of its own, which a write erases first when an
    // erase operation is given.
    TPropsStorage(QObject* targetObject, QString keyPrefix, QString sectionName, ReadTextOp readText,
                  WriteTextOp writeText, EraseSectionOp eraseSection = {});

    // Lets errors of the write operation through.
    void WriteProp(const QMetaProperty& property);
    // Swallows every error: the property then keeps what it had.
    void ReadProp(const QMetaProperty& property);

    // Every storable property of the object in name order, under prefix + the property's name.
    void WriteObjectProps(QObject* object, const QString& prefix, const QString& section);
    void ReadObjectProps(QObject* object, const QString& prefix, const QString& section);

    // The properties a StoredProps list names, each under the component's name + "_" + the property's name. Items
    // that do not split, name no component of the form or no storable property of it are skipped.
    void WriteListedProps(QObject* form, const QStringList& storedProps);
    void ReadListedProps(QObject* form, const QStringList& storedProps);

    // The readable properties that the object's own classes declare (not Qt's classes, whose names begin with "Q"
    // and a capital), sorted by name without regard to case. Reading in this order applies a font's "Size" after its
    // "Height", so the size decides.
    static QList<QMetaProperty> StorableProperties(const QObject* object);
    // Looked up without regard to case.
    static std::optional<QMetaProperty> FindStorableProperty(const QObject* object, const QString& name);

private:
    enum class Transfer { Write, Read };

    TPropsStorage With(QObject* targetObject, QString keyPrefix, QString sectionName) const;
    // Stores or restores a property that is not kept as one text under its key: an object's own properties, a
    // string list's or a collection's items, or nothing for a kind that is not stored. False for a single value.
    bool TransferApart(const QMetaProperty& property, const QString& key, const QVariant& value, PropertyKind kind,
                       Transfer transfer);
    QString KeyOf(const QMetaProperty& property) const;

    void WriteStringList(const QString& key, const QStringList& lines);
    void ReadStringList(const QMetaProperty& property, const QString& key);
    void WriteCollection(const QString& key, const TCollection& collection);
    void ReadCollection(const QString& key, TCollection& collection);

    QString TextOf(const QMetaProperty& property, const QVariant& value, PropertyKind kind) const;
    QString ComponentText(const QObject* component) const;
    std::optional<QVariant> ComponentFromText(const QMetaProperty& property, const QString& text) const;

    void TransferProp(const QMetaProperty& property, Transfer transfer);
    void TransferObjectProps(QObject* object, const QString& prefix, const QString& section, Transfer transfer) const;
    void TransferListedProps(QObject* form, const QStringList& storedProps, Transfer transfer) const;

    QObject* targetObject_;
    QString keyPrefix_;
    QString sectionName_;
    ReadTextOp readText_;
    WriteTextOp writeText_;
    EraseSectionOp eraseSection_;
};

} // namespace parlino
