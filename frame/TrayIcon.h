#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class QMenu;
class QSystemTrayIcon;

// The program's icon in the desktop's notification area. Where the desktop has no such area the
// object does nothing at all.
class CTrayIcon : public QObject {
    Q_OBJECT

public:
    CTrayIcon(QObject* owner, const QString& tip, QList<QIcon> icons);
    ~CTrayIcon() override;

    bool IsEnabled() const { return icon_ != nullptr; }
    void SetIcon(int index);
    QString ToolTip() const;
    // The menu of a right click on the icon, kept as long as the icon.
    void SetMenu(std::unique_ptr<QMenu> menu);
    QMenu* Menu() const { return menu_.get(); }

Q_SIGNALS:
    // A left click on the icon; right and double clicks do nothing.
    void LeftPressed();

private:
    QSystemTrayIcon* icon_ = nullptr;
    QList<QIcon> icons_;
    std::unique_ptr<QMenu> menu_;
};
