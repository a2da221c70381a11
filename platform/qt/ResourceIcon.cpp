#include "platform/qt/ResourceIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace parlino {
namespace {

// Decodes a picture only when it is first drawn, and only the size drawn: a window shows a fraction
// of its pictures at start, and each is read as PNG straight away, without asking the image plugins.
class ResourceIconEngine final : public QIconEngine
{
public:
    ResourceIconEngine(QString folder, QString name, std::vector<int> sizes)
        : folder_(std::move(folder)), name_(std::move(name)), sizes_(std::move(sizes))
    {
        std::sort(sizes_.begin(), sizes_.end());
    }

    QIconEngine* clone() const override { return new ResourceIconEngine(folder_, name_, sizes_); }

    QString key() const override { return QStringLiteral("ParlinoResourceIcon"); }

    bool isNull() override { return sizes_.empty(); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (const int size : sizes_)
            sizes.append(QSize(size, size));
        return sizes;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int drawn = BestSize(size);
        return QSize(drawn, drawn).boundedTo(size);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        QPixmap picture = Picture(BestSize(size), mode);
        if (picture.width() <= size.width() && picture.height() <= size.height())
            return picture;
        return picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, picture);
    }

private:
    // The smallest picture at least as large as asked for, else the largest there is.
    int BestSize(const QSize& size) const
    {
        const int wanted = qMax(size.width(), size.height());
        for (const int drawn : sizes_)
            if (drawn >= wanted)
                return drawn;
        return sizes_.empty() ? 0 : sizes_.back();
    }

    QPixmap Picture(int size, QIcon::Mode mode)
    {
        const auto key = std::make_pair(size, mode);
        if (const auto found = pictures_.find(key); found != pictures_.end())
            return found->second;
        QPixmap picture;
        if (mode == QIcon::Normal || mode == QIcon::Active) {
            QImageReader reader(QStringLiteral(":/%1/%2-%3.png").arg(folder_, name_).arg(size), "png");
            reader.setAutoDetectImageFormat(false);
            picture = QPixmap::fromImage(reader.read());
        } else {
            // Disabled and selected pictures are drawn the way the style draws them for every icon.
            const QPixmap normal = Picture(size, QIcon::Normal);
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            picture = QApplication::style()->generatedIconPixmap(mode, normal, &option);
        }
        pictures_.emplace(key, picture);
        return picture;
    }

    QString folder_;
    QString name_;
    std::vector<int> sizes_;
    std::map<std::pair<int, QIcon::Mode>, QPixmap> pictures_;
};

} // namespace

QIcon ResourceIcon(QLatin1StringView folder, const char* name, std::initializer_list<int> sizes)
{
    return QIcon(new ResourceIconEngine(QString(folder), QLatin1String(name), std::vector<int>(sizes)));
}

} // namespace parlino
