#pragma once

#include <QLabel>

namespace ombrix {

// A one-line label for a stored value or a path. It shows as much of its text
// as fits, leaving out the middle (a path keeps its file name) or the end, and
// while part is left out the whole text is its tooltip. Screen readers get
// the whole text. The text is plain: never read as markup.
class ElidedLabel final : public QLabel {
public:
    ElidedLabel(Qt::TextElideMode mode, QWidget* parent);

    // The text as drawn.
    QString shownText() const;
    bool isElided() const { return shownText() != text(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::TextElideMode mode_;
};

}  // namespace ombrix
