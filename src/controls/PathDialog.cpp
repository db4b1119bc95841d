#include "controls/PathDialog.h"

#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "controls/FolderTree.h"
#include "controls/PlacementStore.h"
#include "platform/Shell.h"

#include <QDialog>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The root's absolute list; false when it cannot be had.
bool RootList(TPathDialog::TRootItem root, TItemIdList &list)
{
    if (root == TPathDialog::riDesktop) {
        list = TItemIdList();
        return true;
    }
    try {
        list = SHGetDesktopFolder()->ParseDisplayName(QString::fromLatin1(kComputerName));
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace

TPathDialog::TPathDialog(QObject *owner) : QObject(owner) {}

TPathDialog::~TPathDialog() = default;

void TPathDialog::SetDirectory(const QString &directory)
{
    directory_ = directory.isEmpty() ? QDir::currentPath() : ExcludeTrailingPathDelimiter(directory);
    if (TFolderTree *tree = Tree())
        tree->SelectPath(directory_);
}

void TPathDialog::SetStatusText(const QString &text)
{
    statusText_ = text;
    if (handle_ && showStatus_)
        if (auto *status = handle_->findChild<QLabel *>("LStatus"))
            status->setText(text);
}

TFolderTree *TPathDialog::Tree() const
{
    return handle_ ? handle_->findChild<TFolderTree *>() : nullptr;
}

void TPathDialog::raise(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()));
    }
}

bool TPathDialog::Execute()
{
    QWidget *parentWindow = qobject_cast<QWidget *>(parent());
    if (!parentWindow)
        parentWindow = ApplicationMainWindow();
    TItemIdList root;
    if (!RootList(rootItem_, root))
        return false;

    const bool newStyle = newStyle_ || showStatus_;
    QPointer<QDialog> window = new QDialog(parentWindow);
    window->setObjectName("PathDialog");
    window->setWindowTitle("Browse For Folder");
    TFolderTree *tree;
    try {
        tree = new TFolderTree(root.get(), window);
    } catch (const std::exception &) {
        delete window;
        return false;
    }
    auto *title = new QLabel(title_, window);
    title->setObjectName("LTitle");
    title->setWordWrap(true);
    auto *status = new QLabel(statusText_, window);
    status->setObjectName("LStatus");
    status->setWordWrap(true);
    status->setVisible(showStatus_);
    auto *newFolder = new QPushButton("&Make New Folder", window);
    newFolder->setObjectName("BNewFolder");
    newFolder->setAutoDefault(false);
    newFolder->setVisible(newStyle);
    auto *ok = new QPushButton("OK", window);
    ok->setObjectName("BOK");
    ok->setDefault(true);
    auto *cancel = new QPushButton("Cancel", window);
    cancel->setObjectName("BCancel");
    cancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(newFolder);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(window);
    layout->addWidget(title);
    layout->addWidget(status);
    layout->addWidget(tree, 1);
    layout->addLayout(buttons);
    window->resize(320, 380);
    if (!newStyle)
        layout->setSizeConstraint(QLayout::SetFixedSize);

    const auto selectionMoved = [this, ok, newFolder](const QString &path) {
        // Only folders on disk can be chosen or hold a new folder.
        ok->setEnabled(!path.isEmpty());
        newFolder->setEnabled(!path.isEmpty());
        if (OnSelect)
            raise([this, &path] { OnSelect(*this, path); });
    };
    connect(tree, &TFolderTree::SelectionMoved, window, selectionMoved);
    connect(ok, &QPushButton::clicked, window, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, window, &QDialog::reject);
    connect(newFolder, &QPushButton::clicked, window, [tree] {
        try {
            tree->NewFolder();
        } catch (const std::exception &e) {
            ShowError(QString::fromUtf8(e.what()));
        }
    });

    handle_ = window;
    if (!directory_.isEmpty())
        tree->SelectPath(directory_);
    selectionMoved(tree->SelectedPath());
    // Once the window is up and the modal loop runs.
    QTimer::singleShot(0, window, [this] {
        if (OnShow)
            raise([this] { OnShow(*this); });
    });
    const bool accepted = window->exec() == QDialog::Accepted;
    // The window may have gone with its parent meanwhile.
    const QString chosen = window ? tree->SelectedPath() : QString();
    handle_ = nullptr;
    delete window;
    if (!accepted || chosen.isEmpty())
        return false;
    directory_ = chosen;
    return true;
}
