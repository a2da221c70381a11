#include "tray/IconList.h"

#include "tray/TrayPictures.h"

#include <QDataStream>
#include <QIODevice>
#include <QPixmap>

#include <gtest/gtest.h>

namespace parlino::test {
namespace {

QIcon Solid(QColor colour, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(colour);
    return QIcon(pixmap);
}

QByteArray Stored(quint32 count, const QList<QByteArray>& pictures)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << count;
    for (const QByteArray& picture : pictures) {
        out << static_cast<quint32>(picture.size());
        out.writeRawData(picture.constData(), static_cast<int>(picture.size()));
    }
    return data;
}

TEST(IconListTest, ChangesInsideNestedUpdatesAreToldOnceWhenTheOutermostEnds)
{
    TIconList icons;
    int changes = 0;
    icons.OnChange = [&] { ++changes; };

    icons.Add(Solid(Qt::red, 16));
    EXPECT_EQ(changes, 1);

    icons.BeginUpdate();
    icons.BeginUpdate();
    icons.Add(Solid(Qt::green, 16));
    icons.Replace(0, Solid(Qt::blue, 16));
    icons.EndUpdate();
    EXPECT_EQ(changes, 1);
    icons.EndUpdate();
    EXPECT_EQ(changes, 2);

    icons.BeginUpdate();
    icons.EndUpdate();
    icons.EndUpdate();
    EXPECT_EQ(changes, 2);

    TIconList copy;
    copy.Assign(icons);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.Icons(1).cacheKey(), icons.Icons(1).cacheKey());
}

TEST(IconListTest, StoredFormKeepsPicturesAndEmptyPlaces)
{
    TIconList icons;
    icons.Add(Solid(Qt::red, 16));
    icons.Add(QIcon());
    icons.Add(Solid(Qt::green, 32));
    const QByteArray data = icons.WriteData();

    TIconList read;
    int changes = 0;
    read.OnChange = [&] { ++changes; };
    ASSERT_TRUE(read.ReadData(data));
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(read.Count(), 3);
    EXPECT_TRUE(read.Icons(1).isNull());
    const QImage first = read.Icons(0).pixmap(16, 16).toImage();
    EXPECT_EQ(first.pixelColor(8, 8), QColor(Qt::red));
    EXPECT_TRUE(read.Icons(2).availableSizes().contains(QSize(32, 32)));
    EXPECT_EQ(read.Icons(2).pixmap(32, 32).toImage().pixelColor(3, 30), QColor(Qt::green));
}

TEST(IconListTest, MalformedStoredDataIsRefusedAndChangesNothing)
{
    TIconList source;
    source.Add(Solid(Qt::red, 16));
    const QByteArray good = source.WriteData();
    const QByteArray picture = good.mid(8);

    TIconList icons;
    icons.Add(Solid(Qt::blue, 16));
    const qint64 before = icons.Icons(0).cacheKey();

    const QList<QByteArray> malformed = {
        QByteArray(),         QByteArray("\x01\x00", 2),  Stored(0x7FFFFFFF, {}),
        Stored(2, {picture}), good.left(good.size() - 1), Stored(1, {QByteArray("not an icon file")}),
    };
    for (const QByteArray& data : malformed) {
        EXPECT_FALSE(icons.ReadData(data)) << data.toHex().toStdString();
        ASSERT_EQ(icons.Count(), 1);
        EXPECT_EQ(icons.Icons(0).cacheKey(), before);
    }
}

TEST(TrayPicturesTest, StillAndMessagePicturesComeInBothSizes)
{
    const QIcon still = TrayPictures::Still();
    TIconList frames;
    TrayPictures::LoadMessageFrames(frames);

    ASSERT_EQ(frames.Count(), 2);
    for (const QIcon& icon : {still, frames.Icons(0), frames.Icons(1)}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
        EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    }
    // The two frames must differ, or the animation would not show.
    EXPECT_NE(frames.Icons(0).pixmap(16, 16).toImage(), frames.Icons(1).pixmap(16, 16).toImage());
}

} // namespace
} // namespace parlino::test
