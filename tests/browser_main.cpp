// modwright-browse: the shell folder list view on its own, to try it and take pictures.
//   modwright-browse [FOLDER] [--images|--audio] [--view icon|small|list|report]
//                    [--hidden] [--size WIDTHxHEIGHT] [--grab FILE.png]
// --grab lists the folder, waits for the details, saves a picture of the window and exits.
#include "common/MessageBoxes.h"
#include "controls/SystemListView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <cstdio>

namespace {

class TBoxes : public TMessageBoxHandler {
public:
    void information(const QString &text) override { QMessageBox::information(nullptr, "Browse", text); }
    void error(const QString &text) override { QMessageBox::critical(nullptr, "Browse", text); }
    TMsgAnswer confirm(const QString &text, TConfirmButtons) override
    {
        return QMessageBox::question(nullptr, "Browse", text) == QMessageBox::Yes ? maYes : maNo;
    }
};

int Usage()
{
    std::fprintf(stderr,
                 "usage: modwright-browse [FOLDER] [--images|--audio] [--view icon|small|list|report]\n"
                 "                        [--hidden] [--size WIDTHxHEIGHT] [--grab FILE.png]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QString folder, grab, style = "report";
    TDisplayMode mode = dmAll;
    bool hidden = false;
    QSize size(900, 560);
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == "--images")
            mode = dmImages;
        else if (a == "--audio")
            mode = dmAudio;
        else if (a == "--hidden")
            hidden = true;
        else if (a == "--view" && i + 1 < args.size())
            style = args[++i];
        else if (a == "--grab" && i + 1 < args.size())
            grab = args[++i];
        else if (a == "--size" && i + 1 < args.size()) {
            const QStringList wh = args[++i].split('x');
            if (wh.size() != 2)
                return Usage();
            size = QSize(wh[0].toInt(), wh[1].toInt());
        } else if (a.startsWith("--"))
            return Usage();
        else
            folder = a;
    }
    TBoxes boxes;
    if (grab.isEmpty())
        SetMessageBoxHandler(&boxes);

    QMainWindow window;
    window.setWindowTitle("Modwright - Browse");
    auto *view = new TSystemListView;
    view->SetDisplayMode(mode);
    view->SetShowHiddenFiles(hidden);
    view->SetHideSelection(false);
    const QStringList styles = {"icon", "small", "list", "report"};
    view->SetViewStyle(TViewStyle(std::max<qsizetype>(0, styles.indexOf(style))));
    window.setCentralWidget(view);

    QToolBar *bar = window.addToolBar("Folder");
    bar->setMovable(false);
    QStyle *st = window.style();
    QAction *back =
        bar->addAction(st->standardIcon(QStyle::SP_ArrowBack), "Back", view, &TSystemListView::GoBack);
    QAction *forward = bar->addAction(st->standardIcon(QStyle::SP_ArrowForward), "Forward", view,
                                      &TSystemListView::GoForward);
    QAction *up =
        bar->addAction(st->standardIcon(QStyle::SP_FileDialogToParent), "Up", view, &TSystemListView::GoUp);
    QAction *refresh = bar->addAction(st->standardIcon(QStyle::SP_BrowserReload), "Refresh", view,
                                      &TSystemListView::RefreshFolder);
    auto *path = new QLineEdit;
    bar->addWidget(path);
    auto *styleBox = new QComboBox;
    styleBox->addItems({"Large Icons", "Small Icons", "List", "Details"});
    styleBox->setCurrentIndex(view->ViewStyle());
    bar->addWidget(styleBox);
    auto *hiddenBox = new QCheckBox("Hidden files");
    hiddenBox->setChecked(hidden);
    bar->addWidget(hiddenBox);
    auto *count = new QLabel;
    window.statusBar()->addWidget(count);

    const auto showCount = [view, count] {
        count->setText(QString("%1 items in %2").arg(view->RowCount()).arg(view->Directory()));
    };
    view->OnChangeDir = [path, showCount](TSystemListView *v) {
        path->setText(v->Directory());
        showCount();
    };
    view->OnToolbuttonChange = [=](TSystemListView *, TSystemToolButtons b) {
        back->setEnabled(b & ToolButton(tbBack));
        forward->setEnabled(b & ToolButton(tbForward));
        up->setEnabled(b & ToolButton(tbDirUp));
        refresh->setEnabled(b & ToolButton(tbRefresh));
    };
    view->OnDblClick = [](TSystemListView *v) {
        const auto rows = v->SelectedRows();
        if (rows.size() == 1)
            v->EnterRow(rows.front());
    };
    QObject::connect(path, &QLineEdit::returnPressed, view, [view, path] {
        try {
            view->SetDirectory(path->text());
        } catch (const std::exception &e) {
            ShowError(QString::fromUtf8(e.what()));
            path->setText(view->Directory());
        }
    });
    QObject::connect(styleBox, &QComboBox::currentIndexChanged, view,
                     [view](int index) { view->SetViewStyle(TViewStyle(index)); });
    QObject::connect(hiddenBox, &QCheckBox::toggled, view, [view](bool on) { view->SetShowHiddenFiles(on); });
    // Rows that the watch thread adds or removes change the count too.
    auto *timer = new QTimer(&window);
    QObject::connect(timer, &QTimer::timeout, showCount);
    timer->start(500);

    window.resize(size);
    window.show();
    try {
        if (folder.isEmpty())
            view->BrowseToPidl(TItemIdList());
        else
            view->SetDirectory(folder);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    if (!grab.isEmpty()) {
        view->WaitForDetails(10000);
        showCount();
        QTimer::singleShot(300, &window, [&window, grab] {
            const bool ok = window.grab().save(grab);
            std::fprintf(stderr, ok ? "saved %s\n" : "could not save %s\n", qPrintable(grab));
            QApplication::exit(ok ? 0 : 1);
        });
    }
    return app.exec();
}
