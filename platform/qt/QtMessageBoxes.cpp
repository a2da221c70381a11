#include "platform/qt/QtMessageBoxes.h"

#include <QMessageBox>

namespace parlino {

void QtMessageBoxes::ShowError(QWidget* owner, const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

} // namespace parlino
