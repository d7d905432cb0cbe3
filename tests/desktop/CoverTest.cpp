#include "desktop/CoverImage.h"
#include "desktop/CoverLoader.h"
#include "desktop/ThumbnailCache.h"
#include "support/Mp3Maker.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/time.h>

namespace {

using EFailure = CCoverImage::EFailure;

bool Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// A picture drawn by ImageMagick: `size` such as "300x200", `canvas` such as "xc:red".
std::string Draw(const CTempDir& dir, const std::string& name, const std::string& size,
                 const std::string& canvas) {
    const std::string path = dir / name;
    return Shell("convert -size " + size + " " + canvas + " '" + path + "'") ? path : std::string();
}

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFU;
    for (const char byte : bytes) {
        crc ^= static_cast<unsigned char>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320U & (0U - (crc & 1U)));
    }
    return ~crc;
}

std::string BigEndian(std::uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

// A PNG signature and a sound IHDR that claims 30,000 x 30,000 pixels of RGBA, then one byte of
// pixels: a decoder that believes it allocates 3.6 GB.
std::string HugePngHeader() {
    const std::string body =
        "IHDR" + BigEndian(30000) + BigEndian(30000) + std::string("\x08\x06\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + BigEndian(13) + body + BigEndian(Crc32(body)) +
           BigEndian(1) + "IDATx" + BigEndian(0);
}

SCoverSource WholeFile(const std::string& path, SCoverSource::EImage image) {
    return SCoverSource{path, 0, 0, image, false};
}

class CoverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "test_desktop";
            static char* argv[] = {name, nullptr};
            static QCoreApplication app(argc, argv);
        }
    }
    void SetUp() override {
        if (!Shell("command -v convert"))
            GTEST_SKIP() << "ImageMagick is missing";
    }
    CTempDir dir_;
    CTempDir thumbnails_;
};

// What each hostile or damaged picture comes to: refused within the bounds, never decoded at
// its claimed size, and a mislabelled picture shown as what its bytes are.
TEST_F(CoverTest, HostilePicturesAreRefusedWithinBounds) {
    const std::string jpeg = Draw(dir_, "noise.jpg", "400x400", "gradient:red-blue");
    ASSERT_FALSE(jpeg.empty());
    const std::string whole = ReadFileBytes(jpeg);
    const std::string png = Draw(dir_, "real.png", "90x60", "xc:blue");
    std::rename(png.c_str(), (dir_ / "labelled.jpg").c_str());
    dir_.Write("cut.jpg", whole.substr(0, whole.size() / 2));
    dir_.Write("huge.png", HugePngHeader());
    dir_.Write("text.jpg", "this is not a picture at all");
    dir_.Write("empty.png", "");
    Shell("truncate -s 17M '" + (dir_ / "sparse.png") + "'");
    struct SCase {
        const char* name;
        SCoverSource source;
        EFailure failure;
    };
    const std::array cases{
        SCase{"huge header", WholeFile(dir_ / "huge.png", SCoverSource::EImage::Png),
              EFailure::TooLarge},
        SCase{"cut JPEG", WholeFile(dir_ / "cut.jpg", SCoverSource::EImage::Jpeg),
              EFailure::Damaged},
        SCase{"PNG labelled JPEG", WholeFile(dir_ / "labelled.jpg", SCoverSource::EImage::Jpeg),
              EFailure::None},
        SCase{"text labelled JPEG", WholeFile(dir_ / "text.jpg", SCoverSource::EImage::Jpeg),
              EFailure::NotAnImage},
        SCase{"empty file", WholeFile(dir_ / "empty.png", SCoverSource::EImage::Png),
              EFailure::NotAnImage},
        SCase{"17 MB file", WholeFile(dir_ / "sparse.png", SCoverSource::EImage::Png),
              EFailure::TooLarge},
        SCase{"100 MB frame",
              {jpeg, 10, 100LL * 1024 * 1024, SCoverSource::EImage::Jpeg, true},
              EFailure::TooLarge},
        SCase{"frame past the end",
              {jpeg, 100, whole.size(), SCoverSource::EImage::Jpeg, true},
              EFailure::Damaged},
        SCase{"missing file", WholeFile(dir_ / "gone.jpg", SCoverSource::EImage::Jpeg),
              EFailure::Unreadable},
        SCase{"FIFO", WholeFile(dir_ / "fifo.jpg", SCoverSource::EImage::Jpeg),
              EFailure::Unreadable},
    };
    ::mkfifo((dir_ / "fifo.jpg").c_str(), 0600);
    for (const SCase& test : cases) {
        QImage image;
        EXPECT_EQ(CCoverImage::Load(test.source, QSize(128, 128), image), test.failure)
            << test.name;
        EXPECT_EQ(image.isNull(), test.failure != EFailure::None) << test.name;
    }
}

// The range of the file and nothing else; the picture scaled while decoded, its shape kept.
TEST_F(CoverTest, ReadsTheNotedRangeAndScales) {
    const std::string jpeg = Draw(dir_, "wide.jpg", "600x300", "gradient:red-blue");
    ASSERT_FALSE(jpeg.empty());
    const std::string bytes = ReadFileBytes(jpeg);
    const std::string padded = "HEAD" + bytes + "TAIL";
    const std::string path = dir_.Write("holder.bin", padded);
    QByteArray read;
    const SCoverSource inside{path, 4, bytes.size(), SCoverSource::EImage::Jpeg, true};
    ASSERT_EQ(CCoverImage::Read(inside, read), EFailure::None);
    EXPECT_EQ(read.toStdString(), bytes);
    QImage image;
    ASSERT_EQ(CCoverImage::Decode(read, QSize(128, 128), image), EFailure::None);
    EXPECT_EQ(image.size(), QSize(128, 64));
}

class ThumbnailTest : public CoverTest {
protected:
    // One request through a loader of its own, as a start of the program would make it.
    QImage LoadOnce(const SCoverSource& source, QSize size) {
        CCoverLoader loader(nullptr, QString::fromStdString(thumbnails_.Path()));
        QImage result;
        QObject::connect(&loader, &CCoverLoader::Loaded,
                         [&result](CCoverLoader::Ticket, const QImage& image) { result = image; });
        QObject::connect(&loader, &CCoverLoader::Note,
                         [this](const QString& note) { notes_ << note; });
        loader.Request(source, size);
        loader.WaitForIdle();
        return result;
    }
    static std::int64_t MTime(const std::string& path) {
        return CThumbnailCache::ModificationTime(path).value_or(-1);
    }
    QStringList notes_;
};

TEST_F(ThumbnailTest, UriOfEscapesAsTheDesktopDoes) {
    EXPECT_EQ(CThumbnailCache::UriOf("/music/A b/é\xff#1;[x]!$&'()*+,-.:=@_~.mp3"),
              QByteArray("file:///music/A%20b/%C3%A9%FF%231%3B%5Bx%5D!$&'()*+,-.:=@_~.mp3"));
}

// Entries as the desktop's thumbnailers write them, both flavours from one decode, found again
// by a second start without a decode, and made again once the file changes.
TEST_F(ThumbnailTest, EntriesFollowTheStandard) {
    const std::string png = Draw(dir_, "folder cover.png", "400x300", "gradient:red-blue");
    ASSERT_FALSE(png.empty());
    const SCoverSource source = WholeFile(png, SCoverSource::EImage::Png);
    const CThumbnailCache cache(QString::fromStdString(thumbnails_.Path()));
    const QByteArray uri = CThumbnailCache::UriOf(png);
    const struct {
        QSize wanted;
        CThumbnailCache::EFlavor flavor;
        QSize stored;
    } cases[] = {{{64, 64}, CThumbnailCache::EFlavor::Normal, {128, 96}},
                 {{200, 200}, CThumbnailCache::EFlavor::Large, {256, 192}}};
    const int first = CCoverImage::DecodeCount();
    EXPECT_FALSE(LoadOnce(source, {64, 64}).isNull());
    EXPECT_EQ(CCoverImage::DecodeCount(), first + 1);
    for (const auto& test : cases) {
        const QString entry = cache.EntryPath(uri, test.flavor);
        QImage stored(entry);
        ASSERT_FALSE(stored.isNull()) << entry.toStdString();
        EXPECT_EQ(stored.size(), test.stored);
        EXPECT_EQ(stored.text(QStringLiteral("Thumb::URI")).toUtf8(), uri);
        EXPECT_EQ(stored.text(QStringLiteral("Thumb::MTime")), QString::number(MTime(png)));
        struct stat status {};
        ASSERT_EQ(::stat(QFile::encodeName(entry).constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0600U);
        ASSERT_EQ(::stat(QFile::encodeName(QFileInfo(entry).path()).constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700U);
        // A second start finds it.
        EXPECT_EQ(LoadOnce(source, test.wanted).size(),
                  test.stored.scaled(test.wanted, Qt::KeepAspectRatio));
        EXPECT_EQ(CCoverImage::DecodeCount(), first + 1);
    }
    // The file changes: the entry is stale and made again with the new time.
    const struct timeval later[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimes(png.c_str(), later), 0);
    const int before = CCoverImage::DecodeCount();
    EXPECT_FALSE(LoadOnce(source, {64, 64}).isNull());
    EXPECT_EQ(CCoverImage::DecodeCount(), before + 1);
    EXPECT_EQ(QImage(cache.EntryPath(uri, CThumbnailCache::EFlavor::Normal))
                  .text(QStringLiteral("Thumb::MTime")),
              QStringLiteral("1000000000"));
}

// A file without a usable picture gets a failure entry of ours, is said once, and is not
// decoded again until it changes.
TEST_F(ThumbnailTest, FailureIsRememberedAndNoted) {
    const std::string path = dir_.Write("bad.jpg", "no picture here");
    const SCoverSource source = WholeFile(path, SCoverSource::EImage::Jpeg);
    EXPECT_TRUE(LoadOnce(source, {64, 64}).isNull());
    ASSERT_EQ(notes_.size(), 1);
    EXPECT_TRUE(notes_.front().contains(QStringLiteral("bad.jpg")));
    const CThumbnailCache cache(QString::fromStdString(thumbnails_.Path()));
    const QString failure = cache.FailurePath(CThumbnailCache::UriOf(path));
    EXPECT_TRUE(failure.contains(QStringLiteral("/fail/quavero-" QUAVERO_VERSION "/")));
    EXPECT_EQ(QImage(failure).text(QStringLiteral("Thumb::MTime")), QString::number(MTime(path)));
    const int before = CCoverImage::DecodeCount();
    EXPECT_TRUE(LoadOnce(source, {64, 64}).isNull());
    EXPECT_EQ(CCoverImage::DecodeCount(), before);
    EXPECT_EQ(notes_.size(), 1);
}

// A front cover inside a real MP3's tag (written by mutagen): the entry is the track's.
TEST_F(ThumbnailTest, EmbeddedCoverIsTheTracksEntry) {
    const std::string jpeg = Draw(dir_, "front.jpg", "300x300", "gradient:red-blue");
    const std::string track = dir_ / "song.mp3";
    if (!Mp3Maker::Encode(track, 0.2, 44100, "-b 128"))
        GTEST_SKIP() << "lame is missing";
    ASSERT_TRUE(
        Shell("/usr/bin/python3 -c \"import sys; from mutagen.id3 import ID3, APIC; t = ID3(); "
              "t.add(APIC(encoding=0, mime='image/jpeg', type=3, desc='', "
              "data=open(sys.argv[2], 'rb').read())); t.save(sys.argv[1])\" '" +
              track + "' '" + jpeg + "'"));
    const std::string picture = ReadFileBytes(jpeg);
    const std::size_t offset = ReadFileBytes(track).find(picture);
    ASSERT_NE(offset, std::string::npos);
    const SCoverSource source{track, offset, picture.size(), SCoverSource::EImage::Jpeg, true};
    EXPECT_EQ(LoadOnce(source, {128, 128}).size(), QSize(128, 128));
    const CThumbnailCache cache(QString::fromStdString(thumbnails_.Path()));
    const QImage stored(
        cache.EntryPath(CThumbnailCache::UriOf(track), CThumbnailCache::EFlavor::Normal));
    EXPECT_EQ(stored.text(QStringLiteral("Thumb::URI")).toUtf8(), CThumbnailCache::UriOf(track));
}

// A request let go before its picture comes back says nothing.
TEST_F(ThumbnailTest, CancelledRequestIsDropped) {
    const std::string png = Draw(dir_, "a.png", "64x64", "xc:red");
    CCoverLoader loader(nullptr, QString::fromStdString(thumbnails_.Path()));
    int loaded = 0;
    QObject::connect(&loader, &CCoverLoader::Loaded, [&loaded] { ++loaded; });
    const CCoverLoader::Ticket ticket =
        loader.Request(WholeFile(png, SCoverSource::EImage::Png), {32, 32});
    loader.Cancel(ticket);
    loader.WaitForIdle();
    EXPECT_EQ(loaded, 0);
    EXPECT_EQ(loader.PendingCount(), 0);
}

} // namespace
