#pragma once

#include <QSplitter>

// The bar between a component list and its file browser. With
// `ResizeWhileDrag` the neighbours follow the mouse continuously; without it
// the toolkit's drag line is drawn and the sizes change on release. Neither
// side can be dragged below `MinSize` pixels, and neither collapses.
class TMySplitter : public QSplitter {
    Q_OBJECT
    Q_PROPERTY(bool ResizeWhileDrag READ ResizeWhileDrag WRITE SetResizeWhileDrag)
    Q_PROPERTY(int MinSize READ MinSize WRITE SetMinSize)

public:
    explicit TMySplitter(Qt::Orientation orientation, QWidget *parent = nullptr);

    bool ResizeWhileDrag() const { return opaqueResize(); }
    void SetResizeWhileDrag(bool on) { setOpaqueResize(on); }

    int MinSize() const { return minSize_; }
    void SetMinSize(int pixels);

    // Size of the first pane (the list) along the splitter's orientation.
    int FirstSize() const;
    // Gives the first pane that size, within the limits the panes allow. A
    // splitter not shown yet (a hidden tab) has no real size: the wish is kept
    // and applied when it is laid out for showing.
    void SetFirstSize(int pixels);

signals:
    // Raised when a drag of the bar ends (the sizes may have changed).
    void Moved();

protected:
    QSplitterHandle *createHandle() override;
    void childEvent(QChildEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void applyMinSize();
    void applyFirstSize();

    int minSize_ = 30;
    int pendingFirst_ = -1;
};
