#include "about/AboutUnit.h"

#include "platform/qt/ResourceIcon.h"

#include <QFont>
#include <QImageReader>
#include <QPalette>
#include <QPixmap>

PARLINO_RESOURCES(about)

namespace parlino {

TAboutForm* AboutForm = nullptr;

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      Image1(new QLabel(this)), Label1(new QLabel(this)), BitBtn1(new QPushButton(this))
{
    Init_about_Resources();
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(tr("About"));
    setFixedSize(272, 172);

    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 16, 49, 49);
    Image1->setScaledContents(true);
    // Read as PNG straight away: guessing the format would load every image plugin first.
    QImageReader picture(QStringLiteral(":/about/parlino-49.png"), "png");
    picture.setAutoDetectImageFormat(false);
    Image1->setPixmap(QPixmap::fromImage(picture.read()));

    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setText(tr("Parlino v. 1.0"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    Label1->setFont(font);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(palette);
    Label1->move(111, 25);

    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setText(tr("OK"));
    BitBtn1->setGeometry(96, 127, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutForm::showEvent(QShowEvent* event)
{
    // The label fits itself to its text when the box is seen, so that start-up need not load its font.
    Label1->adjustSize();
    QDialog::showEvent(event);
}

} // namespace parlino
