#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <utility>

namespace parlino {

// The base of every component: a QObject owned by its parent, named by its object name, and aware
// of whether it is being loaded from a stored form or lives in a designer.
class TComponent : public QObject
{
    Q_OBJECT

public:
    explicit TComponent(QObject* owner = nullptr) : QObject(owner) {}

    QString Name() const { return objectName(); }
    virtual void SetName(const QString& name) { setObjectName(name); }

    bool Loading() const { return loading_; }
    bool Designing() const { return designing_; }
    void SetDesigning(bool designing) { designing_ = designing; }

    // Property values set between these two calls come from a stored form and take effect in Loaded().
    void BeginLoading() { loading_ = true; }
    void EndLoading()
    {
        loading_ = false;
        Loaded();
    }

protected:
    virtual void Loaded() {}

private:
    bool loading_ = false;
    bool designing_ = false;
};

using TNotifyEvent = std::function<void(QObject* sender)>;

// Stores a property's new value; true when it differed, so that a setter reacts to real changes only.
template <typename T> bool Change(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

// Raises an event: an unassigned one is skipped. The handler runs from a copy, so it may destroy the
// event's owner, and the event with it, while it runs; the raiser must then not touch itself afterwards
// (keep a QPointer to itself when it goes on).
template <typename Event, typename... Args> void Raise(const Event& event, Args&&... args)
{
    if (!event)
        return;
    const Event handler = event;
    handler(std::forward<Args>(args)...);
}

} // namespace parlino
