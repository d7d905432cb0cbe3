#include "support/RecordingPlayer.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

namespace {

// The wait is bounded so that a failed test leaves no player behind for long.
constexpr const char* kRecorder = R"(#!/bin/sh
i=0
while [ ! -e "$0.go" ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i + 1)); done
printf '%s\0' "$@" >"$0.tmp" 2>/dev/null && mv "$0.tmp" "$0.out" 2>/dev/null
)";

constexpr const char* kDefaults = "[Default Applications]\naudio/mpeg=recorder.desktop\n"
                                  "audio/x-mpegurl=recorder.desktop\n"
                                  "inode/directory=recorder.desktop\n";

std::string DesktopEntry(const std::string& program) {
    const std::string exec = "Exec=\"" + program + "\" ";
    return "[Desktop Entry]\nType=Application\nName=Recorder\n" + exec +
           "%f\nMimeType=audio/mpeg;audio/x-mpegurl;inode/directory;\nActions=Enqueue;\n\n"
           "[Desktop Action Enqueue]\nName=Add to Queue\n"
           "Name[fr]=Mettre en file\n" +
           exec + "--enqueue %f\n";
}

} // namespace

CRecordingPlayer::CRecordingPlayer(const CTempDir& dir)
    : dir_(dir), program_(dir.Write("recorder", kRecorder)) {
    ::chmod(program_.c_str(), 0755);
    dir.Write("data/applications/recorder.desktop", DesktopEntry(program_));
    dir.Write("config/mimeapps.list", kDefaults);
    dir.MakeDir("empty");
}

void CRecordingPlayer::UseDesktop(bool withPlayer) const {
    ::setenv("XDG_DATA_HOME", (dir_ / (withPlayer ? "data" : "empty")).c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir_ / (withPlayer ? "config" : "empty")).c_str(), 1);
    ::setenv("XDG_DATA_DIRS", (dir_ / "empty").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (dir_ / "empty").c_str(), 1);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + dir_ / "no-bus").c_str(), 1);
}

bool CRecordingPlayer::HasRecorded() const {
    return std::filesystem::exists(program_ + ".out");
}

std::optional<CRecordingPlayer::Args> CRecordingPlayer::Received() const {
    dir_.Write("recorder.go", "");
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (HasRecorded()) {
            const std::string bytes = ReadFileBytes(program_ + ".out");
            Args args;
            for (std::size_t at = 0, end; (end = bytes.find('\0', at)) != bytes.npos; at = end + 1)
                args.push_back(bytes.substr(at, end - at));
            return args;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return std::nullopt;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}
