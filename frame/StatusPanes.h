#pragma once

#include <QList>
#include <QString>

class QLabel;
class QStatusBar;
class QWidget;

// The six panes of the status bar: location, information, display mode, count, size and time.
// While a menu is open (or a command is pointed at) pane 0 spans the whole bar and shows the
// command's prompt; the panes come back as they were afterwards. A text wider than its pane
// ends in "…" and shows whole as the pane's tooltip; the count, size and time are never cut:
// their panes widen to their texts, and a bar too narrow for them drops whole panes.
class CStatusPanes {
public:
    enum EPane { kLocation = 0, kInformation, kMode, kCount, kSize, kTime, kPaneCount };

    explicit CStatusPanes(QStatusBar& bar);

    // While a prompt shows, pane 0's new text waits until the prompt ends.
    void SetText(int pane, const QString& text);
    // The pane's whole text, however much of it shows.
    QString Text(int pane) const;
    // What shows of it, and the tooltip that completes it (empty when it shows whole).
    QString ShownText(int pane) const;
    QString ToolTip(int pane) const;
    // Gives the pane small image `image` as its icon; -1 removes it.
    void SetIcon(int pane, int image);
    int IconImage(int pane) const;
    QWidget* Pane(int pane) const;

    void BeginPrompt();
    void ShowPrompt(const QString& prompt);
    void EndPrompt();
    bool IsPrompting() const { return prompting_; }

private:
    struct SPane {
        QWidget* box = nullptr;
        QLabel* icon = nullptr;
        QLabel* text = nullptr;
        int image = -1;
        QString whole;
    };

    void Arrange(int width);
    void Rearrange();
    // The width the pane needs to show its whole text.
    int NeededWidth(int pane) const;
    void Elide(int pane);

    QWidget* strip_ = nullptr;
    QList<SPane> panes_;
    bool prompting_ = false;
    QString savedText_;
};
