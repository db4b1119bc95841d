// The component lists' pop-up menu.

#include "workbench/ResPopUp.h"

#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "modbuild/BuildContext.h"
#include "modbuild/ComponentSave.h"
#include "modbuild/ExternalPrograms.h"
#include "modbuild/SaveCommands.h"
#include "model/AssignmentSet.h"
#include "platform/Exception.h"
#include "workbench/AssignCommands.h"
#include "workbench/ComponentList.h"
#include "workbench/ModwrightForm.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QPointer>

namespace {

QString KindWord(int tab)
{
    return tab == 1 ? QStringLiteral("Drum") : QStringLiteral("Image");
}

// Runs a command of the menu; what it raises is shown, never passed up into the event loop.
template <typename F> void Guarded(F &&command)
{
    try {
        command();
    } catch (const std::exception &error) {
        ShowError(QString::fromUtf8(error.what()));
    }
}

class TResPopUp : public QMenu {
public:
    explicit TResPopUp(TModwrightForm &form) : QMenu(&form), form_(form)
    {
        setObjectName("ResPopUp");
        setToolTipsVisible(false);
        PopAssign1 = item("PopAssign1", [this] { assign(); });
        PopAutoAssign1 =
            item("PopAutoAssign1", [this] { AutoAssignAll(form_, form_.BrowserFolder(tab_).path); });
        addSeparator();
        PopDetach1 = item(
            "PopDetach1", [this] { detach(); }, "&Detach", "Detaches the selected item.");
        PopDetachAll1 = item(
            "PopDetachAll1", [this] { form_.DetachAll1Click(); }, "Detach All", "Detaches all items.");
        addSeparator();
        PopSaveAs1 = item("PopSaveAs1", [this] {
            SaveAssignedFileAs(form_.BuildContext(), *requireRow(), form_.BrowserFolder(tab_));
        });
        PopSaveAll1 = item(
            "PopSaveAll1", [this] { form_.SaveAll1Click(); }, "Save All");
        EditorSeparator = addSeparator();
        PopEditWith1 =
            item("PopEditWith1", [this] { RunEditor(form_.Settings, tab_, requireRow()->assignedPath()); });
        addSeparator();
        PopLoadAssignments1 = item(
            "PopLoadAssignments1", [this] { form_.OpenAssignment1Click(); }, "&Load Assignments",
            form_.OpenAssignment1->statusTip());
        PopSaveAssignments1 = item(
            "PopSaveAssignments1", [this] { form_.SaveAssignment1Click(); }, "Save Assignments",
            form_.SaveAssignment1->statusTip());
        for (int tab = 0; tab < 2; ++tab) {
            TComponentList *list = form_.List(tab);
            list->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(list, &QWidget::customContextMenuRequested, this,
                    [this, tab](const QPoint &p) { request(tab, p); });
        }
    }

    TAssignmentData *Row() const { return row_; }

    QAction *PopAssign1, *PopAutoAssign1, *PopDetach1, *PopDetachAll1, *PopSaveAs1, *PopSaveAll1;
    QAction *EditorSeparator, *PopEditWith1, *PopLoadAssignments1, *PopSaveAssignments1;

private:
    template <typename F>
    QAction *item(const char *name, F &&command, const QString &caption = QString(),
                  const QString &hint = QString())
    {
        // Owned by the window: a hovered item's hint goes to the action's parent, and the
        // pop-up, a window of its own, would keep it from the window's status bar.
        auto *action = new QAction(caption, &form_);
        addAction(action);
        action->setObjectName(name);
        action->setStatusTip(hint);
        connect(action, &QAction::triggered, this, [command] { Guarded(command); });
        return action;
    }

    // The right button went down over `p` (viewport coordinates) of a tab's list.
    void request(int tab, const QPoint &p)
    {
        TComponentList *list = form_.List(tab);
        tab_ = tab;
        row_ = list->RowOf(list->indexAt(p));
        prepare();
        popup(list->viewport()->mapToGlobal(p));
    }

    TAssignmentData *requireRow() const
    {
        Assert(row_ != nullptr, "PopupItem is not assigned");
        return row_;
    }

    void prepare()
    {
        const QString kind = KindWord(tab_);
        TComponentList *list = form_.List(tab_);
        const bool anyAssigned = list->AnyAssigned();
        const bool rowAssigned = row_ && row_->isAssigned();

        const QString found = row_ ? FindFileFor(*row_, form_.BrowserFolder(tab_).path) : QString();
        PopAssign1->setVisible(!found.isEmpty());
        if (!found.isEmpty()) {
            PopAssign1->setText(QString("Assign to \"%1\"").arg(QFileInfo(found).fileName()));
            PopAssign1->setStatusTip(
                QString("Assigns %1 to \"%2\".").arg(row_->displayName(), ShortenPath(found, 80)));
        }
        PopAutoAssign1->setText("&Auto Assign All");
        PopAutoAssign1->setStatusTip(
            QString("Tries to assign all %1s to files in current directory, comparing the filenames.")
                .arg(kind));
        PopDetach1->setEnabled(rowAssigned);
        PopDetachAll1->setEnabled(anyAssigned);

        PopSaveAs1->setVisible(rowAssigned);
        if (rowAssigned) {
            const QString target = ComponentFileName(*row_, form_.Settings.UseVirtualNames[tab_],
                                                     form_.Settings.UseOtherExt[tab_]);
            PopSaveAs1->setText(QString("&Save %1 as \"%2\"").arg(row_->displayName(), target));
            PopSaveAs1->setStatusTip(
                QString("Saves %1 as \"%2\".").arg(row_->displayName(), ShortenPath(target, 80)));
        }
        PopSaveAll1->setEnabled(anyAssigned);
        PopSaveAll1->setStatusTip(QString("Saves all assigned %1s to files to current directory.").arg(kind));

        const QString editor = tab_ == 0 ? form_.Settings.ImgEditorPath : form_.Settings.DrumEditorPath;
        const bool haveEditor = !editor.isEmpty() && QFileInfo(editor).isFile();
        PopEditWith1->setVisible(haveEditor);
        EditorSeparator->setVisible(haveEditor);
        // Without a pop-up row there is no file to edit.
        PopEditWith1->setEnabled(row_ != nullptr);
        if (haveEditor) {
            const QString name = EditorName(form_, tab_);
            PopEditWith1->setText(QString("Edit with %1").arg(name));
            PopEditWith1->setStatusTip(QString("Edit the assigned file with %1").arg(name));
        }
    }

    // Detaches the pop-up row; the status bar shows it again.
    void detach()
    {
        TAssignmentData *row = requireRow();
        form_.Set().DetachFile(row);
        form_.ShowItemStatus(row);
        form_.UpdateCommands();
    }

    void assign()
    {
        TAssignmentData *row = requireRow();
        const QString found = FindFileFor(*row, form_.BrowserFolder(tab_).path);
        if (!found.isEmpty())
            AssignOne(form_, *row, found);
    }

    TModwrightForm &form_;
    int tab_ = 0;
    TAssignmentData *row_ = nullptr;
};

} // namespace

void CreateResPopUp(TModwrightForm &form)
{
    new TResPopUp(form);
}

QMenu *ResPopUpMenu(const TModwrightForm &form)
{
    return form.findChild<QMenu *>("ResPopUp", Qt::FindDirectChildrenOnly);
}

TAssignmentData *PopupRow(const TModwrightForm &form)
{
    auto *menu = static_cast<TResPopUp *>(ResPopUpMenu(form));
    return menu ? menu->Row() : nullptr;
}

QString EditorName(TModwrightForm &form, int tab)
{
    QString &name = tab == 0 ? form.Settings.ImgEditorName : form.Settings.DrumEditorName;
    const QString &path = tab == 0 ? form.Settings.ImgEditorPath : form.Settings.DrumEditorPath;
    if (name.isEmpty())
        name = QFileInfo(path).completeBaseName();
    return name;
}
