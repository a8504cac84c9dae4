#pragma once
#include <QScrollArea>

// A scroll area that asks for all of its contents' height, so its window
// shows them whole where the screen has room, and scrolls them only below
// their smallest size. (A resizable QScrollArea asks for at most 24 lines
// and scrolls below the contents' preferred height-for-width: wrapping
// labels ask for more than they need.)
class WholeContentsScrollArea : public QScrollArea {
public:
    explicit WholeContentsScrollArea(QWidget* contents, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitContents();
};
