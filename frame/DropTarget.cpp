#include "frame/DropTarget.h"

#include "catalog/Address.h"
#include "catalog/FilePattern.h"

#include <QMimeData>
#include <QUrl>

SDropTarget SDropTarget::Read(const QMimeData* data, const std::string& filePattern) {
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty())
        return {};
    const QUrl url = data->urls().front();
    if (!url.isLocalFile())
        return {};
    // The path's escaped bytes as they were sent: a name need not be UTF-8.
    std::string path =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
    if (CAddress::DirectoryExists(path))
        return {std::move(path), {}};
    const std::string name = path.substr(path.rfind('/') + 1);
    if (!CAddress::FileExists(path) || !CFilePattern(filePattern).Matches(name))
        return {};
    return {CAddress::FolderOf(path), std::move(path)};
}
