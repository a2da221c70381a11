#include "settings/FormStorage.h"

#include "settings/PropsStorage.h"

#include <QWidget>

namespace parlino {

TFormStorage::TFormStorage(QWidget* form, ProfileStore& profiles, const Screens& screens, MessageBoxes& messageBoxes)
    : TFormPlacement(form, profiles, screens, messageBoxes), storedValues_(new TStoredValues(*this))
{}

TFormStorage::~TFormStorage()
{
    FormDestroying();
}

TPropsStorage TFormStorage::Storage()
{
    return TPropsStorage(
        Form(), {}, SectionName(),
        [this](const QString& section, const QString& key, const QString& defaultValue) {
            return ReadSetting(section, key, defaultValue);
        },
        [this](const QString& section, const QString& key, const QString& value) { WriteSetting(section, key, value); },
        [this](const QString& section) { EraseSetting(section); });
}

void TFormStorage::WriteStoredProps()
{
    Storage().WriteListedProps(Form(), storedProps_);
}

void TFormStorage::ReadStoredProps()
{
    try {
        FileScope scope(*this);
        Storage().ReadListedProps(Form(), storedProps_);
    } catch (const std::exception&) {
        // The controls keep what they had.
    }
}

void TFormStorage::WriteWindowPlacement()
{
    TFormPlacement::WriteWindowPlacement();
    WriteStoredProps();
    storedValues_->WriteValues();
}

void TFormStorage::ReadWindowPlacement()
{
    TFormPlacement::ReadWindowPlacement();
    ReadStoredProps();
    storedValues_->ReadValues();
}

void TFormStorage::Loaded()
{
    TFormPlacement::Loaded();
    if (Designing())
        return;
    QStringList linked;
    for (const QString& item : storedProps_) {
        const std::optional<StoredPropName> name = SplitStoredProp(item);
        QObject* component = name ? FindComponent(Form(), name->component) : nullptr;
        if (!component)
            continue;
        linked.append(item);
        connect(component, &QObject::destroyed, this,
                [this, componentName = name->component] { Unlink(componentName); });
    }
    storedProps_ = linked;
}

void TFormStorage::Unlink(const QString& component)
{
    storedProps_.removeIf([&component](const QString& item) {
        const std::optional<StoredPropName> name = SplitStoredProp(item);
        return name && name->component.compare(component, Qt::CaseInsensitive) == 0;
    });
}

} // namespace parlino
