#include "tray/IconList.h"

#include "platform/Component.h"

#include <QBuffer>
#include <QDataStream>
#include <QImageReader>
#include <QImageWriter>
#include <QPixmap>

#include <algorithm>
#include <optional>

namespace parlino {
namespace {

// The icon-file form keeps one picture per size; a picture without sizes of its own is drawn at 32 x 32.
QByteArray ToIconFile(const QIcon& icon)
{
    QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty())
        sizes.append(QSize(32, 32));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const auto largest = std::max_element(
        sizes.begin(), sizes.end(), [](QSize a, QSize b) { return a.width() * a.height() < b.width() * b.height(); });
    QImageWriter writer(&buffer, "ico");
    writer.write(icon.pixmap(*largest).toImage());
    return bytes;
}

std::optional<QIcon> FromIconFile(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QIcon icon;
    const int count = reader.imageCount();
    for (int i = 0; i < count && reader.jumpToImage(i); ++i) {
        const QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    if (icon.isNull())
        return std::nullopt;
    return icon;
}

} // namespace

void TIconList::Add(const QIcon& icon)
{
    icons_.append(icon);
    Changed();
}

void TIconList::Insert(int index, const QIcon& icon)
{
    icons_.insert(index, icon);
    Changed();
}

void TIconList::Replace(int index, const QIcon& icon)
{
    icons_.replace(index, icon);
    Changed();
}

void TIconList::Delete(int index)
{
    icons_.removeAt(index);
    Changed();
}

void TIconList::Clear()
{
    if (icons_.isEmpty())
        return;
    icons_.clear();
    Changed();
}

void TIconList::Assign(const TIconList& source)
{
    if (&source == this)
        return;
    icons_ = source.icons_;
    Changed();
}

void TIconList::EndUpdate()
{
    if (updateCount_ == 0 || --updateCount_ > 0 || !changePending_)
        return;
    changePending_ = false;
    Raise(OnChange);
}

void TIconList::Changed()
{
    if (updateCount_ > 0) {
        changePending_ = true;
        return;
    }
    Raise(OnChange);
}

QByteArray TIconList::WriteData() const
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << static_cast<quint32>(icons_.size());
    for (const QIcon& icon : icons_) {
        const QByteArray bytes = icon.isNull() ? QByteArray() : ToIconFile(icon);
        out << static_cast<quint32>(bytes.size());
        out.writeRawData(bytes.constData(), static_cast<int>(bytes.size()));
    }
    return data;
}

bool TIconList::ReadData(const QByteArray& data)
{
    QDataStream in(data);
    in.setByteOrder(QDataStream::LittleEndian);
    quint32 count = 0;
    in >> count;
    // The count comes from outside: every picture takes at least its 4-byte size, which bounds it.
    if (in.status() != QDataStream::Ok || count > static_cast<quint32>(data.size() / 4))
        return false;
    QList<QIcon> icons;
    for (quint32 i = 0; i < count; ++i) {
        quint32 size = 0;
        in >> size;
        if (in.status() != QDataStream::Ok || size > static_cast<quint32>(in.device()->bytesAvailable()))
            return false;
        if (size == 0) {
            icons.append(QIcon());
            continue;
        }
        const std::optional<QIcon> icon = FromIconFile(in.device()->read(size));
        if (!icon)
            return false;
        icons.append(*icon);
    }
    icons_ = icons;
    Changed();
    return true;
}

} // namespace parlino
