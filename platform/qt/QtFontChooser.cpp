#include "platform/qt/QtFontChooser.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPalette>
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

// The font database lists a family that several foundries make with its foundry ("Nimbus Sans [urw]"); files and
// other programs know the family by its name alone.
QString FamilyName(const QString& listed)
{
    const qsizetype foundry = listed.indexOf(QLatin1String(" ["));
    return foundry < 0 ? listed : listed.first(foundry);
}

void ColourSample(QFontDialog& fonts, const QColor& color)
{
    auto* sample = fonts.findChild<QLineEdit*>(QStringLiteral("qt_fontDialog_sampleEdit"));
    if (!sample)
        return;
    QPalette palette = sample->palette();
    palette.setColor(QPalette::Text, color);
    sample->setPalette(palette);
}

} // namespace

bool QtFontChooser::ChooseFont(QWidget* owner, QFont& font, QColor& color)
{
    QDialog dialog(owner);
    dialog.setWindowTitle(QCoreApplication::translate("parlino::QtFontChooser", "Font"));
    // Qt's own dialog, embedded: a desktop's native one could not take the colour row.
    // A face that is absent here is shown in a substitute: the chooser starts on the face really shown.
    QFont shown = font;
    shown.setFamily(QFontInfo(font).family());
    auto* fonts = new QFontDialog(shown, &dialog);
    fonts->setObjectName(QStringLiteral("Fonts"));
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);
    // Escape in it would end the embedded dialog alone and leave an empty window: it ends the whole chooser.
    QObject::connect(fonts, &QDialog::finished, &dialog, &QDialog::done);
    const QFont initial = fonts->currentFont();

    QColor chosenColor = color;
    auto* colorButton = new QPushButton(Swatch(chosenColor),
                                        QCoreApplication::translate("parlino::QtFontChooser", "&Colour..."), &dialog);
    colorButton->setObjectName(QStringLiteral("Colour"));
    ColourSample(*fonts, chosenColor);
    QObject::connect(colorButton, &QPushButton::clicked, &dialog, [&dialog, &chosenColor, colorButton, fonts] {
        const QColor picked = QColorDialog::getColor(chosenColor, &dialog,
                                                     QCoreApplication::translate("parlino::QtFontChooser", "Colour"));
        if (!picked.isValid())
            return;
        chosenColor = picked;
        colorButton->setIcon(Swatch(chosenColor));
        ColourSample(*fonts, chosenColor);
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
    // Unchanged, the font keeps its name, also that of a face absent here.
    if (fonts->currentFont() != initial) {
        font = fonts->currentFont();
        font.setFamily(FamilyName(font.family()));
    }
    color = chosenColor;
    return true;
}

} // namespace parlino
