// Writing tags from the properties sheet against mutagen writing the same edit: 1,000 selected
// files, every one with an ID3v2.3 tag (texts, a third of them in UTF-16, user and private
// frames, a 20-60 KB picture, a kilobyte of padding), half with an ID3v1 tag too, get a new
// album in one sheet. Each side is a whole process that reads the folder's files and writes
// the edit into both tags: this program run with --write (the document walks the folder, the
// sheet on every track writes the album typed into it), and a mutagen script. Each run types
// another album of the same length, so that every run writes; each side has its own copy of the
// files. Goal: no slower than mutagen, in processor time, best of the runs; wall time beside.
#include "bench/ProcessTimer.h"
#include "bench/QuietReporter.h"
#include "catalog/QuavDoc.h"
#include "dialogs/Mp3PropertySheet.h"
#include "platform/IniProfile.h"
#include "platform/Reporter.h"
#include "settings/AppSettings.h"

#include <QApplication>
#include <QLineEdit>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

constexpr int kFiles = 1000;
constexpr int kRuns = 5;
constexpr std::size_t kAudioBytes = 160 * 1024;

std::string BigEndian(std::size_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::string Frame(const char* id, const std::string& body) {
    return id + BigEndian(body.size()) + std::string(2, '\0') + body;
}

std::string Text(const std::string& text, bool wide) {
    if (!wide)
        return '\0' + text;
    std::string body = "\1\xFF\xFE";
    for (const char c : text)
        body += {c, '\0'};
    return body;
}

std::string Tag(int index) {
    const bool wide = index % 3 == 0;
    std::string frames = Frame("TIT2", Text("Title " + std::to_string(index), wide)) +
                         Frame("TPE1", Text("Artist " + std::to_string(index / 120), wide)) +
                         Frame("TALB", Text("Album " + std::to_string(index / 12), wide)) +
                         Frame("TRCK", Text(std::to_string(index % 12 + 1) + "/12", wide)) +
                         Frame("TYER", Text("2001", wide)) + Frame("TCON", Text("(17)", wide)) +
                         Frame("TXXX", Text("MusicBrainz Album Id", false) + '\0' + "1d2c") +
                         Frame("PRIV", std::string("WM/Provider\0\1\2", 14));
    std::string picture = std::string("\0image/jpeg\0\3cover\0", 19);
    picture.resize(20000 + static_cast<std::size_t>(index) * 7919 % 40000, '\x5A');
    frames += Frame("APIC", picture) + std::string(1024, '\0');
    std::string size;
    for (int shift = 21; shift >= 0; shift -= 7)
        size += static_cast<char>(frames.size() >> shift & 0x7F);
    return "ID3\3\0\0"s + size + frames;
}

std::string Id3v1(int index) {
    std::string tag = "TAG";
    for (const std::string& text : {"Title " + std::to_string(index), std::string("Artist"),
                                    "Album " + std::to_string(index / 12)})
        tag += (text + std::string(30, ' ')).substr(0, 30);
    return tag + "2001" + std::string(28, ' ') + '\0' + static_cast<char>(index % 12 + 1) + '\x11';
}

// Real bytes, not holes: each side must copy or skip them as a user's files would have it.
void Generate(const std::string& root) {
    if (fs::exists(root + "/complete-v1"))
        return;
    fs::remove_all(root);
    std::string audio = "\xFF\xFB\x90\x64";
    for (std::size_t i = audio.size(); i < kAudioBytes; ++i)
        audio += static_cast<char>(0x20 + i * 31 % 64);
    for (const char* side : {"quavero", "mutagen"}) {
        fs::create_directories(root + "/" + side);
        for (int i = 0; i < kFiles; ++i) {
            std::ofstream out(root + "/" + side + "/track" + std::to_string(1000 + i) + ".mp3",
                              std::ios::binary);
            out << Tag(i) << audio << (i % 2 == 1 ? Id3v1(i) : std::string());
        }
    }
    std::ofstream(root + "/complete-v1") << kFiles << "\n";
}

const char kMutagen[] = R"(import os, sys
from mutagen.id3 import ID3, TALB
folder, album = sys.argv[1], sys.argv[2]
for name in sorted(os.listdir(folder)):
    path = os.path.join(folder, name)
    tags = ID3(path)
    tags.setall("TALB", [TALB(encoding=0, text=[album])])
    tags.save(path, v2_version=3, v1=2)
)";

// This program's own side: the folder walked, the sheet on every track, the album typed.
int WriteAsTheSheet(int argc, char** argv) {
    QApplication app(argc, argv);
    CAppSettings settings;
    settings.LoadSettings(CIniProfile("/dev/null"));
    settings.UseCachedCatalog = 0;
    CQuietReporter reporter;
    CQuavDoc doc(settings, nullptr, reporter);
    doc.SetStoreSnapshots(false);
    if (!doc.OpenAddress(argv[2]))
        return 1;
    const TrackArray& tracks = doc.GetTrackList().Tracks();
    CMp3PropertySheet sheet(TrackArray(tracks.begin(), tracks.end()),
                            {.writeId3v2 = true, .read = {}});
    sheet.findChild<QLineEdit*>(QStringLiteral("album"))->setText(QString::fromUtf8(argv[3]));
    return sheet.WriteTags(reporter) == tracks.size() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && std::string(argv[1]) == "--write")
        return WriteAsTheSheet(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: GuiTagWriteBench DATA-FOLDER\n");
        return 2;
    }
    const std::string root = std::string(argv[1]) + "/tag-write-1k";
    Generate(root);
    const std::string script = root + "/mutagen-edit.py";
    std::ofstream(script) << kMutagen;
    const std::string self = fs::canonical("/proc/self/exe").string();
    CProcessTimer::STimes ours{1e30, 1e30, 0}, theirs{1e30, 1e30, 0};
    for (int run = 0; run < kRuns; ++run) {
        const std::string album = "Album of run " + std::to_string(run);
        const auto a = CProcessTimer::Run({self, "--write", root + "/quavero", album}, {});
        const auto b =
            CProcessTimer::Run({"/usr/bin/python3", script, root + "/mutagen", album}, {});
        ours = {std::min(ours.cpu, a.cpu), std::min(ours.wall, a.wall), 0};
        theirs = {std::min(theirs.cpu, b.cpu), std::min(theirs.wall, b.wall), 0};
    }
    std::printf("Tag writing: a new album for %d files in one properties sheet, against mutagen "
                "writing the same edit\n",
                kFiles);
    std::printf("  %-44s %8.3f ms  mutagen %8.3f ms  ratio %5.2f  goal <= 1.0  %s\n",
                "sheet write, processor time", ours.cpu * 1e3, theirs.cpu * 1e3,
                ours.cpu / theirs.cpu, ours.cpu <= theirs.cpu ? "MET" : "MISSED");
    std::printf("  %-44s %8.3f ms  mutagen %8.3f ms  ratio %5.2f  (for information)\n",
                "sheet write, wall time", ours.wall * 1e3, theirs.wall * 1e3,
                ours.wall / theirs.wall);
    return 0;
}
