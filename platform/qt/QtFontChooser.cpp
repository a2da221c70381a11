#include "platform/qt/QtFontChooser.h"

#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace parlino {
namespace {

QIcon Swatch(const QColor& color)
{
    QPixmap swatch(32, 16);
    swatch.fill(color);
    return QIcon(swatch);
}

} // namespace

bool QtFontChooser::ChooseFont(QWidget* owner, QFont& font, QColor& color)
{
    QDialog dialog(owner);
    dialog.setWindowTitle(QStringLiteral("Font"));
    // Qt's own dialog, embedded: a desktop's native one could not take the colour row.
    auto* fonts = new QFontDialog(font, &dialog);
    fonts->setObjectName(QStringLiteral("Fonts"));
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);

    QColor chosenColor = color;
    auto* colorButton = new QPushButton(Swatch(chosenColor), QStringLiteral("&Colour..."), &dialog);
    colorButton->setObjectName(QStringLiteral("Colour"));
    QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&dialog, &chosenColor, colorButton] {
        const QColor picked = QColorDialog::getColor(chosenColor, &dialog, QStringLiteral("Colour"));
        if (!picked.isValid())
            return;
        chosenColor = picked;
        colorButton->setIcon(Swatch(chosenColor));
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorButton);
    colorRow->addStretch();
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted)
        return false;
    font = fonts->currentFont();
    color = chosenColor;
    return true;
}

} // namespace parlino
