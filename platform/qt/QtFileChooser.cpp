#include "platform/qt/QtFileChooser.h"

#include <QFileDialog>
#include <QStringList>

namespace parlino {
namespace {

// Each description keeps its words; the pattern it stands for is what Qt reads from its parentheses.
QStringList NameFilters(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        const qsizetype open = description.lastIndexOf(u'(');
        if (open > 0 && description.endsWith(u')'))
            description.truncate(open);
        filters.append(QStringLiteral("%1 (%2)").arg(description.trimmed(), QString(parts[i + 1]).replace(u';', u' ')));
    }
    return filters;
}

std::optional<QString> Chosen(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

} // namespace

std::optional<QString> QtFileChooser::ChooseSaveFile(QWidget* owner, const SaveFileRequest& request)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(NameFilters(request.filter));
    dialog.setDefaultSuffix(request.defaultExt.mid(request.defaultExt.startsWith(u'.') ? 1 : 0));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return Chosen(dialog);
}

std::optional<QString> QtFileChooser::ChooseOpenFile(QWidget* owner, const QString& filter)
{
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(NameFilters(filter));
    return Chosen(dialog);
}

} // namespace parlino
