#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;
class QFontMetrics;

// Draws the rows of the details view. A selected row is highlighted from the start of its
// first text across every column and on to the right edge of the window while full-row
// selection is on, or in its first cell only while it is off. Texts that do not fit are cut
// and end in "...". Selected rows look selected only while the view has the focus, unless
// the selection is always shown; without the focus they take the inactive highlight colour.
class CFullRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    // Space kept free on each side of a text: in the first column, in the others.
    static constexpr int kFirstColumnInset = 2;
    static constexpr int kColumnInset = 6;
    static constexpr int kIconSize = 16;

    explicit CFullRowDelegate(QObject* parent = nullptr);

    void SetFullRowSelection(bool on) { fullRowSelection_ = on; }
    bool FullRowSelection() const { return fullRowSelection_; }
    void SetAlwaysShowSelection(bool on) { alwaysShowSelection_ = on; }
    bool AlwaysShowSelection() const { return alwaysShowSelection_; }

    // `text` unchanged when empty or when it fits in `width` pixels; else its longest head
    // that fits together with "...", followed by "...", keeping at least the first character.
    static QString ShortenText(const QFontMetrics& metrics, const QString& text, int width);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    struct SRowLook;
    SRowLook RowLook(const QStyleOptionViewItem& option, const QModelIndex& index) const;
    static void DrawIcon(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index, const SRowLook& look);
    static void DrawFocusFrame(QPainter* painter, const QStyleOptionViewItem& option,
                               const SRowLook& look);
    static void DrawText(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index, const SRowLook& look);

    bool fullRowSelection_ = true;
    bool alwaysShowSelection_ = false;
};
