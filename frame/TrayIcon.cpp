#include "frame/TrayIcon.h"

#include <QMenu>
#include <QSystemTrayIcon>

CTrayIcon::CTrayIcon(QObject* owner, const QString& tip, QList<QIcon> icons)
    : QObject(owner), icons_(std::move(icons)) {
    if (!QSystemTrayIcon::isSystemTrayAvailable() || icons_.isEmpty())
        return;
    icon_ = new QSystemTrayIcon(icons_.first(), this);
    icon_->setToolTip(tip);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    Q_EMIT LeftPressed();
            });
    icon_->show();
}

CTrayIcon::~CTrayIcon() {
    if (icon_ != nullptr) {
        icon_->setContextMenu(nullptr);
        icon_->hide();
    }
}

void CTrayIcon::SetMenu(std::unique_ptr<QMenu> menu) {
    menu_ = std::move(menu);
    if (icon_ != nullptr)
        icon_->setContextMenu(menu_.get());
}

void CTrayIcon::SetIcon(int index) {
    if (icon_ != nullptr && index >= 0 && index < icons_.size())
        icon_->setIcon(icons_[index]);
}

QString CTrayIcon::ToolTip() const {
    return icon_ != nullptr ? icon_->toolTip() : QString();
}
