#include "views/PlayerCommands.h"

#include "catalog/Address.h"
#include "catalog/QuavDoc.h"
#include "desktop/FrameStrings.h"
#include "desktop/MessageBox.h"
#include "desktop/ShellVerb.h"
#include "desktop/TextCodec.h"
#include "model/Mp3File.h"
#include "model/Playlist.h"
#include "platform/Paths.h"
#include "platform/StringIds.h"
#include "settings/AppSettings.h"

namespace {

using EContent = CShellVerb::EContent;
using EResult = CShellVerb::EResult;

QString WithArgument(EStringId id, const std::string& argument) {
    return CFrameStrings::Get(id).arg(CTextCodec::ToQString(argument));
}

} // namespace

CPlayerCommands::CPlayerCommands(CQuavDoc& doc, const CAppSettings& settings, QWidget& owner)
    : doc_(doc), settings_(settings), owner_(owner) {}

// One track goes by its own path and needs no playlist; several go through the playlist, and
// one that cannot be written stops the command before anything reaches the player.
void CPlayerCommands::Run(ECommand command, const TrackArray& tracks) {
    if (tracks.empty())
        return;
    const std::string& verb =
        command == ECommand::Play ? settings_.CommandPlay : settings_.CommandEnqueue;
    if (tracks.size() == 1) {
        HandOverOne(command, verb, tracks.front()->FullPath());
        return;
    }
    const std::string playlist = CPlaylist::Path();
    if (!CPlaylist::Write(playlist, tracks)) {
        Warn(WithArgument(EStringId::MsgPlaylistFailed,
                          playlist.empty() ? CPaths::TempDirectory() : playlist));
        return;
    }
    HandOverMany(command, verb, playlist);
}

// A track whose file has gone is not handed over: the catalog is out of date, and the user may
// have it read again. The refresh destroys the tracks, so nothing is read after it.
void CPlayerCommands::HandOverOne(ECommand command, const std::string& verb,
                                  const std::string& path) {
    if (!CAddress::FileExists(path)) {
        const auto answer =
            CMessageBox::Show(&owner_, WithArgument(EStringId::MsgFileNotFound, path),
                              QMessageBox::Question, QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes)
            doc_.Refresh();
        return;
    }
    if (CShellVerb::Execute(verb, path, EContent::Track) == EResult::Started)
        return;
    Warn(WithArgument(command == ECommand::Play ? EStringId::MsgPlayOneFailed
                                                : EStringId::MsgEnqueueFailed,
                      verb));
}

// Missing files among several are left to the player. Playing them fails for want of a player
// of playlists, for want of the verb, or because the player did not start: each says so.
void CPlayerCommands::HandOverMany(ECommand command, const std::string& verb,
                                   const std::string& playlist) {
    const EResult result = CShellVerb::Execute(verb, playlist, EContent::Playlist);
    if (result == EResult::Started)
        return;
    if (command == ECommand::Play && result == EResult::NoApplication)
        Warn(WithArgument(EStringId::MsgPlayManyNoAssociation, verb) + QLatin1Char('\n') +
             CFrameStrings::Get(EStringId::MsgPlayManyFailed));
    else if (command == ECommand::Play && result == EResult::NotStarted)
        Warn(WithArgument(EStringId::MsgPlayerNotStarted, verb));
    else
        Warn(WithArgument(EStringId::MsgEnqueueFailed, verb));
}

void CPlayerCommands::Warn(const QString& text) {
    CMessageBox::Show(&owner_, text, QMessageBox::Warning);
}
