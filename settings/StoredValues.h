#pragma once

#include "settings/Collection.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <stdexcept>
#include <vector>

namespace parlino {

class TFormStorage;
class TStoredValues;

// Raised when an item would take the name of another item of its collection.
class EStoredValueError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A named value that a form storage keeps in its section, under the value's name.
class TStoredValue : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE SetName)
    Q_PROPERTY(QVariant Value READ Value WRITE SetValue)
    Q_PROPERTY(QString KeyString READ KeyString WRITE SetKeyString)

public:
    // May change the value on its way to or from the file.
    using TStoredValueEvent = std::function<void(QObject* sender, QVariant& value)>;

    explicit TStoredValue(TStoredValues& values);

    QString Name() const { return name_; }
    // Raises EStoredValueError when another item of the collection has that name, compared without regard to case.
    void SetName(const QString& name);
    QVariant Value() const { return value_; }
    void SetValue(const QVariant& value) { value_ = value; }
    // Empty: the value's text is kept as it is. Otherwise the text is scrambled with it, so that the file does not
    // show it at a glance: each byte of its UTF-8 XORed with the key's bytes in turn, in hexadecimal.
    QString KeyString() const { return keyString_; }
    void SetKeyString(const QString& keyString) { keyString_ = keyString; }

    // The value as text, after OnSave.
    virtual void WriteValue();
    // The text read, the value as text by default, becomes the value; then OnRestore.
    virtual void ReadValue();

    TStoredValueEvent OnSave;
    TStoredValueEvent OnRestore;

private:
    QString Scrambled(const QString& text) const;
    QString Unscrambled(const QString& text) const;

    TStoredValues& values_;
    QString name_;
    QVariant value_;
    QString keyString_;
};

// The named values of a form storage, in the order they were added.
class TStoredValues : public TCollection
{
    Q_OBJECT

public:
    explicit TStoredValues(TFormStorage& storage);

    int Count() const override { return static_cast<int>(items_.size()); }
    QObject* Item(int index) const override { return Value(index); }
    void Clear() override;
    TStoredValue* Add() override;

    TStoredValue* Value(int index) const { return items_[static_cast<std::size_t>(index)]; }
    // Compared without regard to case; null when there is none.
    TStoredValue* Find(const QString& name) const;
    TFormStorage& Storage() const { return storage_; }

    virtual void WriteValues();
    virtual void ReadValues();

private:
    TFormStorage& storage_;
    std::vector<TStoredValue*> items_;
};

} // namespace parlino
