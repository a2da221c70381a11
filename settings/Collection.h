#pragma once

#include <QObject>

namespace parlino {

// A property value that holds a list of like items, each an object with stored properties of its own. The settings
// keep the number of items and each item's properties, and rebuild the list when the number differs.
class TCollection : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual int Count() const = 0;
    virtual QObject* Item(int index) const = 0;
    virtual void Clear() = 0;
    // Adds an item with its initial values at the end and gives it.
    virtual QObject* Add() = 0;
};

} // namespace parlino
