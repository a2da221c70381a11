#include "platform/qt/ResourceIcon.h"

#include "tray/TrayPictures.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

namespace parlino::test {
namespace {

QImage Argb(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage Drawn(int size)
{
    return Argb(QImage(QStringLiteral(":/tray/still-%1.png").arg(size)));
}

// The tray's still picture is one of these icons; asking for it also links the tray's pictures in.
TEST(ResourceIconTest, EachSizeComesFromItsOwnPictureAndIsNeverEnlarged)
{
    const QIcon icon = TrayPictures::Still();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
    EXPECT_EQ(Argb(icon.pixmap(16, 16).toImage()), Drawn(16));
    EXPECT_EQ(Argb(icon.pixmap(32, 32).toImage()), Drawn(32));

    EXPECT_EQ(icon.actualSize(QSize(24, 24)), QSize(24, 24));
    EXPECT_EQ(icon.pixmap(24, 24).size(), QSize(24, 24));
    EXPECT_EQ(icon.actualSize(QSize(64, 64)), QSize(32, 32));
    EXPECT_EQ(icon.pixmap(64, 64).size(), QSize(32, 32));

    QImage painted(16, 16, QImage::Format_ARGB32_Premultiplied);
    painted.fill(Qt::transparent);
    QPainter painter(&painted);
    icon.paint(&painter, painted.rect());
    painter.end();
    EXPECT_EQ(painted, Drawn(16));
}

TEST(ResourceIconTest, DenseScreensGetTheLargerPictureAtTheSameLogicalSize)
{
    const QPixmap sharp = TrayPictures::Still().pixmap(QSize(16, 16), 2.0);
    EXPECT_EQ(sharp.size(), QSize(32, 32));
    EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(16, 16));
    EXPECT_EQ(Argb(sharp.toImage()), Drawn(32));
}

TEST(ResourceIconTest, DisabledPictureIsGreyedAndAMissingPictureDrawsNothing)
{
    const QIcon icon = TrayPictures::Still();
    const QPixmap disabled = icon.pixmap(16, 16, QIcon::Disabled);
    EXPECT_EQ(disabled.size(), QSize(16, 16));
    EXPECT_NE(Argb(disabled.toImage()), Drawn(16));

    const QIcon missing = ResourceIcon(QLatin1StringView("tray"), "no-such-picture", {16});
    EXPECT_TRUE(missing.pixmap(16, 16).isNull());
    EXPECT_TRUE(missing.pixmap(16, 16, QIcon::Disabled).isNull());
}

} // namespace
} // namespace parlino::test
