#pragma once

#include <QStringList>

namespace parlino::fake {

// A fake of a service whose calls are only to be seen: each call is kept as one text, in order.
template <typename Service> class Recording : public Service
{
public:
    const QStringList& Recorded() const { return recorded_; }

protected:
    void Record(const QString& call) { recorded_.append(call); }

private:
    QStringList recorded_;
};

} // namespace parlino::fake
