#pragma once

#include "model/TrackArray.h"

#include <QString>

#include <string>
#include <vector>

class CAppSettings;
class CMp3File;
class CQuavDoc;
class QWidget;

// Play and Enqueue: the selected tracks go to the desktop's player with the verb the settings
// name, one track by its own path and several through the playlist. The player is started and
// left running; failures are told in message boxes over `owner`.
class CPlayerCommands {
public:
    enum class ECommand { Play, Enqueue };

    CPlayerCommands(CQuavDoc& doc, const CAppSettings& settings, QWidget& owner);

    // `tracks` in row order; without any, nothing happens.
    void Run(ECommand command, const TrackArray& tracks);

private:
    void HandOverOne(ECommand command, const std::string& verb, const std::string& path);
    void HandOverMany(ECommand command, const std::string& verb, const std::string& playlist);
    void Warn(const QString& text);

    CQuavDoc& doc_;
    const CAppSettings& settings_;
    QWidget& owner_;
};
