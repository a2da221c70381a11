#pragma once

#include "platform/ComputerName.h"

namespace parlino::fake {

class FakeComputerName final : public ComputerName
{
public:
    explicit FakeComputerName(QString name) : name_(std::move(name)) {}
    QString Get() const override { return name_; }

private:
    QString name_;
};

} // namespace parlino::fake
