#pragma once

#include "model/Catalogue.h"

#include <QMainWindow>
#include <QString>
#include <array>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class TCustomIniFile;
class TFrameImage;
class TImgControlBase;
class TSharedImage;

// Glance: the mod of the current assignment set drawn the way the synthesizer lays it
// out. Panels are painted from the assigned panel images; 286 live controls made from
// the frame strips and sliders can be turned and pressed; a click on a drum step button
// plays that drum. While no assigned image file exists the window shows a small splash
// picture instead (splash mode); otherwise it is 624 x 510 plus its status bar (mod mode).
//
// The window makes the images that hang on the catalogue's image entries and frees them
// again when it goes; only one may exist at a time. Hiding or closing it destroys it.
class TGlanceForm : public QMainWindow {
    Q_OBJECT

public:
    static constexpr const char *Section = "Glance";
    static constexpr const char *SplashText =
        "Make assignments in Modwright's main window to see a preview of ReBirth.";

    // Config: the configuration store for the placement and "Active controls" (may be
    // null); ProgramTitle ends the caption.
    TGlanceForm(TCustomIniFile *config, const QString &programTitle, QWidget *parent = nullptr);
    ~TGlanceForm() override;

    // Reloads the images whose files changed (Full: all of them) and switches between
    // splash and mod mode on the number of assigned image files that exist.
    void RefreshImages(bool full);

    bool SplashMode() const;
    // The controls exist (they are made once the window is first on screen).
    bool ElementsCreated() const { return elementsCreated_; }
    const std::vector<TImgControlBase *> &Controls() const { return controls_; }
    // The area panels are drawn on, in client coordinates.
    QWidget *Canvas() const { return canvas_; }
    // The image made for an image index (panels: none).
    TSharedImage *Image(int imageIndex) const;
    QString StatusText() const;
    // What the status bar shows instead of its panel; empty when the panel shows.
    QString HintText() const;
    // "|" + drum name + " (" + file name of its path + ")"; empty for -1.
    static QString DrumHint(int drum);

    // Widgets and menu items, named as the design names them.
    QWidget *canvas_ = nullptr;
    QLabel *Splash = nullptr;
    QLabel *LVersion = nullptr;
    QLabel *LText = nullptr;
    QLabel *StatusPanel = nullptr;
    QMenu *File1 = nullptr;
    QMenu *Options1 = nullptr;
    QAction *Close1 = nullptr;
    QAction *ShowDynamic = nullptr;
    QAction *Refresh1 = nullptr;
    QAction *Randomizepositions1 = nullptr;
    QAction *Maximumpositions1 = nullptr;
    QAction *ResetPositions1 = nullptr;

    // Menu commands.
    void Close1Click();
    void ShowDynamicClick();
    void Refresh1Click();
    void Randomizepositions1Click();
    void Maximumpositions1Click();
    void ResetPositions1Click();
    void Options1Click();
    // Mouse on the window itself, in client coordinates.
    void FormMouseDown(Qt::MouseButton button, const QPoint &point);
    void FormMouseMove(const QPoint &point);
    // Painting of the panels (mod mode).
    void PaintPanels(class QPainter &painter, const QRect &area) const;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // GlanceForm.cpp
    void createWidgets(const QString &programTitle);
    void FormShown();
    void FormHide();
    void setStatusText(const QString &text);
    void showHint(const QString &hint);
    void setClientSize(int width, int height);
    void applyShowDynamic();
    void highlightDown(TImgControlBase *control, Qt::MouseButton button, const QPoint &point);
    void highlightUp();
    // GlanceImages.cpp
    void createImages();
    void freeImages();
    void CreateElements();
    bool loadEntry(int imageIndex);
    void clearEntry(int imageIndex);

    TCustomIniFile *config_;
    std::array<std::unique_ptr<TSharedImage>, ImageCount> images_;
    std::array<std::unique_ptr<QImage>, ImageCount> panelPictures_;
    // The path each picture was loaded from: a new file with the old one's time stamp
    // must still be loaded.
    std::array<QString, ImageCount> loadedPaths_;
    std::vector<TImgControlBase *> controls_;
    TImgControlBase *pressed_ = nullptr;
    QPoint pressedAt_;
    TSharedImage *highlighted_ = nullptr;
    bool shownOnce_ = false;
    bool elementsCreated_ = false;
    bool hiding_ = false;
};
