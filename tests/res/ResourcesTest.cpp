#include "res/Resources.h"
#include "res/ResourceIds.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDirIterator>
#include <QImage>
#include <QSet>
#include <QString>

#include <utility>

namespace {

class ResourcesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_res";
        static char* argv[] = {name, nullptr};
        static QApplication application(argc, argv);
    }
};

QImage Load(const char* path) {
    return CResources::Image(path).toImage().convertToFormat(QImage::Format_ARGB32);
}

int CountPixels(const QImage& image, int minAlpha, int maxAlpha) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = qAlpha(image.pixel(x, y));
            count += alpha >= minAlpha && alpha <= maxAlpha ? 1 : 0;
        }
    return count;
}

bool HasMagenta(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0 && (image.pixel(x, y) & 0xffffff) == 0xff00ff)
                return true;
    return false;
}

TEST_F(ResourcesTest, EveryCompiledImageLoadsWithItsSize) {
    const std::pair<const char*, QSize> expected[] = {
        {ResourceId::kSmallImagesPath, QSize(112, 16)},
        {ResourceId::kToolbarPath, QSize(264, 22)},
        {ResourceId::kToolbarHotPath, QSize(264, 22)},
        {ResourceId::kBandPath, QSize(22, 22)},
        {ResourceId::kBusyFramesPath,
         QSize(ResourceId::kBusyFrameSize * ResourceId::kBusyFrameCount,
               ResourceId::kBusyFrameSize)},
        {ResourceId::kTrackLargePath, QSize(32, 32)},
        {ResourceId::kAboutPath, QSize(50, 50)},
        {ResourceId::kCheckMarkPath, QSize(16, 16)},
    };
    QSet<QString> named;
    for (const auto& [path, size] : expected) {
        const QImage image = Load(path);
        ASSERT_FALSE(image.isNull()) << path;
        EXPECT_EQ(image.size(), size) << path;
        EXPECT_GT(CountPixels(image, 255, 255), 0) << path;
        EXPECT_FALSE(HasMagenta(image)) << path;
        named.insert(QString::fromLatin1(path));
        // Each has its picture for high-density screens, twice as large.
        QString doubled = QString::fromLatin1(path);
        doubled.insert(doubled.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
        EXPECT_EQ(QImage(doubled).size(), size * 2) << path;
        named.insert(doubled);
    }
    // An icon cut from a strip offers both.
    const QIcon genre = CResources::SmallIcon(ResourceId::kImageGenre);
    EXPECT_EQ(genre.pixmap(QSize(16, 16), 1.0).size(), QSize(16, 16));
    EXPECT_EQ(genre.pixmap(QSize(16, 16), 2.0).size(), QSize(32, 32));
    for (const auto& files : {ResourceId::kApplicationIconFiles, ResourceId::kTrayIconFiles})
        for (const ResourceId::SIconFile& file : files) {
            const QImage image = Load(file.path);
            ASSERT_FALSE(image.isNull()) << file.path;
            EXPECT_EQ(image.size(), QSize(file.size, file.size)) << file.path;
            named.insert(QString::fromLatin1(file.path));
        }

    // Every file of the resource collection is one of the named ones, and loads.
    CResources::Init();
    QDirIterator it(QStringLiteral(":/images"));
    int files = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        EXPECT_TRUE(named.contains(path)) << path.toStdString();
        EXPECT_FALSE(QImage(path).isNull()) << path.toStdString();
        ++files;
    }
    EXPECT_EQ(files, named.size());
}

TEST_F(ResourcesTest, SmallImagesAreSevenDistinctPictures) {
    const QList<QPixmap> images =
        CResources::Strip(ResourceId::kSmallImagesPath, ResourceId::kSmallImageSize);
    ASSERT_EQ(images.size(), ResourceId::kSmallImageCount);
    EXPECT_EQ(ResourceId::kImageFavorites, ResourceId::kSmallImageCount - 1);
    for (qsizetype i = 0; i < images.size(); ++i) {
        const QImage image = images[i].toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(image.size(), QSize(16, 16));
        // Each picture has a body and a transparent surrounding.
        EXPECT_GT(CountPixels(image, 255, 255), 30) << i;
        EXPECT_GT(CountPixels(image, 0, 0), 10) << i;
        for (qsizetype j = 0; j < i; ++j)
            EXPECT_NE(image, images[j].toImage().convertToFormat(QImage::Format_ARGB32))
                << i << " " << j;
    }
}

TEST_F(ResourcesTest, ToolButtonsHaveNormalAndHotImages) {
    const QList<QPixmap> normal =
        CResources::Strip(ResourceId::kToolbarPath, ResourceId::kToolImageSize);
    const QList<QPixmap> hot =
        CResources::Strip(ResourceId::kToolbarHotPath, ResourceId::kToolImageSize);
    ASSERT_EQ(normal.size(), ResourceId::kToolImageCount);
    ASSERT_EQ(hot.size(), ResourceId::kToolImageCount);
    for (int i = 0; i < ResourceId::kToolImageCount; ++i) {
        const QImage a = normal[i].toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage b = hot[i].toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_NE(a, b) << i;
        // Same shape: the hot image only changes the colours.
        EXPECT_EQ(CountPixels(a, 1, 255), CountPixels(b, 1, 255)) << i;
        const QIcon icon = CResources::ToolIcon(i);
        EXPECT_FALSE(icon.isNull()) << i;
        EXPECT_EQ(icon.pixmap(22, QIcon::Active).toImage().convertToFormat(QImage::Format_ARGB32),
                  b)
            << i;
    }
    EXPECT_TRUE(CResources::ToolIcon(-1).isNull());
    EXPECT_TRUE(CResources::ToolIcon(ResourceId::kToolImageCount).isNull());
}

TEST_F(ResourcesTest, BusyFramesMoveAndIconsHaveTheirSizes) {
    const QList<QPixmap> frames =
        CResources::Strip(ResourceId::kBusyFramesPath, ResourceId::kBusyFrameSize);
    ASSERT_EQ(frames.size(), ResourceId::kBusyFrameCount);
    for (qsizetype i = 1; i < frames.size(); ++i)
        EXPECT_NE(frames[i].toImage(), frames[i - 1].toImage()) << i;

    const QList<QSize> appSizes = CResources::ApplicationIcon().availableSizes();
    const QList<QSize> traySizes = CResources::TrayIcon().availableSizes();
    for (int size : {16, 32, 48})
        EXPECT_TRUE(appSizes.contains(QSize(size, size))) << size;
    for (int size : {16, 22, 32})
        EXPECT_TRUE(traySizes.contains(QSize(size, size))) << size;

    EXPECT_TRUE(CResources::Strip(ResourceId::kSmallImagesPath, 0).isEmpty());
    EXPECT_TRUE(CResources::Strip(":/images/none.png", 16).isEmpty());
}

} // namespace
