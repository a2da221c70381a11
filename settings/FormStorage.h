#pragma once

#include "settings/FormPlacement.h"
#include "settings/StoredValues.h"

#include <QStringList>

namespace parlino {

class TPropsStorage;

// A form placement that also keeps chosen properties of the form's controls, and named values, in its section: after
// the placement keys, the properties StoredProps names ("Component.Property") and then the StoredValues.
class TFormStorage : public TFormPlacement
{
    Q_OBJECT
    Q_PROPERTY(QStringList StoredProps READ StoredProps WRITE SetStoredProps)
    Q_PROPERTY(parlino::TStoredValues* StoredValues READ StoredValues)

public:
    TFormStorage(QWidget* form, ProfileStore& profiles, const Screens& screens, MessageBoxes& messageBoxes);
    ~TFormStorage() override;
    Q_DISABLE_COPY_MOVE(TFormStorage)

    // Once loaded, the list keeps only the items that name a control of the form, and loses them when the control
    // goes.
    QStringList StoredProps() const { return storedProps_; }
    void SetStoredProps(const QStringList& storedProps) { storedProps_ = storedProps; }
    TStoredValues* StoredValues() const { return storedValues_; }

    // Lets a write error through.
    virtual void WriteStoredProps();
    // Fills the controls from the section, read once; a value that cannot be read leaves its control as it was.
    virtual void ReadStoredProps();

protected:
    void WriteWindowPlacement() override;
    void ReadWindowPlacement() override;
    void Loaded() override;

private:
    TPropsStorage Storage();
    void Unlink(const QString& component);

    QStringList storedProps_;
    TStoredValues* storedValues_;
};

} // namespace parlino
