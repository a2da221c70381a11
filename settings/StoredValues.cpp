#include "settings/StoredValues.h"

#include "settings/FormStorage.h"

#include <algorithm>
#include <utility>

namespace parlino {

TStoredValue::TStoredValue(TStoredValues& values) : QObject(&values), values_(values) {}

void TStoredValue::SetName(const QString& name)
{
    const TStoredValue* other = values_.Find(name);
    if (other && other != this)
        throw EStoredValueError(QStringLiteral("A stored value named %1 exists already").arg(name).toStdString());
    name_ = name;
}

QString TStoredValue::Scrambled(const QString& text) const
{
    if (keyString_.isEmpty())
        return text;
    const QByteArray key = keyString_.toUtf8();
    QByteArray bytes = text.toUtf8();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ key[i % key.size()]);
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QString TStoredValue::Unscrambled(const QString& text) const
{
    if (keyString_.isEmpty())
        return text;
    const QByteArray key = keyString_.toUtf8();
    QByteArray bytes = QByteArray::fromHex(text.toLatin1());
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ key[i % key.size()]);
    return QString::fromUtf8(bytes);
}

void TStoredValue::WriteValue()
{
    QVariant value = value_;
    Raise(OnSave, this, value);
    TFormStorage& storage = values_.Storage();
    storage.WriteSetting(storage.SectionName(), name_, Scrambled(value.toString()));
}

void TStoredValue::ReadValue()
{
    TFormStorage& storage = values_.Storage();
    value_ = Unscrambled(storage.ReadSetting(storage.SectionName(), name_, Scrambled(value_.toString())));
    Raise(OnRestore, this, value_);
}

TStoredValues::TStoredValues(TFormStorage& storage) : TCollection(&storage), storage_(storage) {}

void TStoredValues::Clear()
{
    for (TStoredValue* item : std::exchange(items_, {}))
        delete item;
}

TStoredValue* TStoredValues::Add()
{
    return items_.emplace_back(new TStoredValue(*this));
}

TStoredValue* TStoredValues::Find(const QString& name) const
{
    const auto found = std::find_if(items_.begin(), items_.end(), [&name](const TStoredValue* item) {
        return item->Name().compare(name, Qt::CaseInsensitive) == 0;
    });
    return found == items_.end() ? nullptr : *found;
}

void TStoredValues::WriteValues()
{
    for (TStoredValue* item : items_)
        item->WriteValue();
}

void TStoredValues::ReadValues()
{
    for (TStoredValue* item : items_)
        item->ReadValue();
}

} // namespace parlino
